// The best score when another run holds the lock, and when Xlib ends the process.
#include "game/frame_loop.h"
#include "game/game.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The game in the working directory, a copy of the data, its clock 32 ms a frame.
struct played_game {
    game& g() { return running->get_game(); }
    bool step() {
        fake_clock::ticks += frame_loop::period_ms;
        return frame_loop::step(running->get_window(), g());
    }
    // From the title, a game whose snake eats `score` pickups, with the score shown.
    void play(unsigned score) {
        push(key_event(SDL_KEYDOWN, SDL_SCANCODE_LALT));
        step();
        for (unsigned i = 0; i < score; ++i) {
            put_pickup_ahead(g());
            step();
        }
        step();
        ASSERT_EQ(g().get_score(), score);
    }

    fake_clock clock; // set before the session starts, left after it ends
    std::unique_ptr<session> running = start_session(160, 120);
};

// Holds "highscore.lock" as another run saving would.
int hold_lock() {
    const int lock = open("highscore.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    EXPECT_EQ(flock(lock, LOCK_EX), 0);
    return lock;
}

} // namespace

TEST(saved_score, a_held_lock_holds_no_frame_and_a_quit_waits_for_it_only_so_long) {
    alarm(120); // a frame that waits for the lock hangs the test
    enter_game_copy();
    std::ofstream("highscore") << "1\n";
    {
        played_game p;
        const int lock = hold_lock();
        p.play(3);
        p.g().get_snake().set_dead();
        // The death animation runs out and the title returns while the save waits.
        for (int i = 0; i < 70; ++i) {
            EXPECT_FALSE(p.step());
        }
        EXPECT_TRUE(p.g().in_title());
        EXPECT_EQ(read_file("highscore"), "1\n");
        // Let go in time, the lock lets the score of the death in.
        close(lock);
        p.g().get_saver().wait();
        EXPECT_EQ(read_file("highscore"), "3\n");

        // Escape while a save waits quits at once, giving the save up and saying so.
        EXPECT_EXIT(
            {
                stdout_to_stderr();
                hold_lock();
                p.play(4);
                p.g().get_snake().set_dead();
                p.step();
                push(key_event(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE));
                EXPECT_TRUE(p.step());
                p.g().teardown_first();
                EXPECT_EQ(read_file("highscore"), "3\n");
                EXPECT_FALSE(fs::exists("highscore.new"));
                std::exit(testing::Test::HasFailure() ? 1 : 0);
            },
            testing::ExitedWithCode(0),
            "high score not saved to highscore: another run still holds highscore.lock\n");
    }
}

TEST(saved_score, an_exit_from_outside_the_frame_loop_saves_the_game_in_play) {
    EXPECT_EXIT(
        {
            // Runs after the game's own exit hook and before the copy is removed.
            enter_game_copy();
            std::atexit([] { std::fprintf(stderr, "stored %s", read_file("highscore").c_str()); });
            std::ofstream("highscore") << "1\n";
            played_game p;
            p.play(3);
            std::exit(1);
        },
        testing::ExitedWithCode(1), "^stored 3\n$");
}

// Settings saved while the disk is slow to sync: run with the slow_sync library preloaded.
#include "game/frame_loop.h"
#include "game/game.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

// A second of a held minus while no sync ends: every frame comes, none waits for the disk,
// and once the disk answers the file holds the last volume. A quit gives up a save the disk
// still holds after the time given, saying so.
TEST(slow_disk, a_held_volume_key_holds_no_frame_and_the_last_value_is_saved) {
    const auto* syncs = static_cast<const int*>(dlsym(RTLD_DEFAULT, "ardlow_slow_syncs"));
    if (syncs == nullptr) {
        GTEST_SKIP() << "needs the slow_sync library preloaded";
    }
    alarm(120); // a frame that waits for the disk waits 20 s a sync
    enter_game_copy();
    const std::string gate = make_temp_dir() + "/gate";
    std::ofstream(gate) << "";
    setenv("ARDLOW_SLOW_SYNC_GATE", gate.c_str(), 1);
    fake_clock clock;
    auto running = start_session(160, 120, settings("settings.ini"));
    game& g = running->get_game();
    const auto frame = [&] {
        fake_clock::ticks += frame_loop::period_ms;
        frame_loop::step(running->get_window(), g);
    };
    int frames = 0;
    for (; frames < 31; ++frames) {
        // Pressed, then repeating every fifth frame as a held key does.
        if (frames % 5 == 0) {
            push(key_event(SDL_KEYDOWN, SDL_SCANCODE_MINUS, KMOD_NONE, frames > 0));
        }
        frame();
        ASSERT_FALSE(fs::exists("settings.ini")) << "frame " << frames << " waited for the disk";
    }
    push(key_event(SDL_KEYUP, SDL_SCANCODE_MINUS));
    frame();
    EXPECT_EQ(g.get_settings().music_volume, 30);
    fs::remove(gate);
    g.get_saver().wait();
    EXPECT_EQ(settings("settings.ini").music_volume, 30);
    EXPECT_LE(*syncs, 4) << "a burst of changes saves once (the file and its folder)";

    std::ofstream(gate) << "";
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_M));
    frame();
    testing::internal::CaptureStdout();
    g.get_saver().finish(std::chrono::milliseconds(100));
    EXPECT_THAT(testing::internal::GetCapturedStdout(),
                testing::HasSubstr("settings not saved: the disk took over 100 ms"));
    EXPECT_FALSE(settings("settings.ini").mute);
    fs::remove(gate);
    running.reset();
    alarm(0);
}

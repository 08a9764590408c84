#include "engine/audio/audio.h"
#include "engine/graphics/draw_state.h"
#include "engine/graphics/scene.h"
#include "fake_clock.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::scene;

namespace {

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The real game, set up in a private copy of the staged data so that its "highscore"
// stays out of the build tree.
class game_test : public testing::Test {
protected:
    void SetUp() override {
        dir = enter_game_copy();
        if (!stored_high_score.empty()) {
            std::ofstream("highscore") << stored_high_score;
        }
        context = std::make_unique<test_context>(320, 240);
        tulk::audio::init();
        g = std::make_unique<game>(context->get_window());
    }

    void TearDown() override {
        if (g) {
            g->teardown_first();
            tulk::audio::destroy();
            g->teardown_second();
        }
        fs::remove_all(dir);
    }

    void key(Uint32 type, SDL_Scancode code) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = code;
        g->handle_key(event);
    }
    void press(SDL_Scancode code) { key(SDL_KEYDOWN, code); }

    // Puts the first pickup where the head will be after the next update.
    void pickup_ahead() {
        const snake& s = g->get_snake();
        g->get_level().get_pickups().front()->set_pos(s.get_head()->pos + 0.4f * s.get_direction());
    }

    fake_clock clock;
    std::string stored_high_score;
    std::string dir;
    std::unique_ptr<test_context> context;
    std::unique_ptr<game> g;
};

} // namespace

TEST_F(game_test, keys_act_by_state_and_a_paused_world_stands_still) {
    // The title answers only left Alt, whose press starts the game without pausing it.
    press(SDL_SCANCODE_UP);
    press(SDL_SCANCODE_PAGEUP);
    g->get_snake().update();
    EXPECT_EQ(g->get_snake().get_pitch_rate(), 0.0f);
    EXPECT_EQ(g->get_snake().get_roll_rate(), 0.0f);
    EXPECT_TRUE(g->in_title());
    press(SDL_SCANCODE_LALT);
    EXPECT_FALSE(g->in_title());
    EXPECT_FALSE(g->is_paused());

    // A released key stops the turn although its opposite is still held.
    press(SDL_SCANCODE_LEFT);
    press(SDL_SCANCODE_RIGHT);
    key(SDL_KEYUP, SDL_SCANCODE_RIGHT);
    g->frame();
    EXPECT_EQ(g->get_snake().get_yaw_rate(), 0.0f);

    // Paused, the world stands still while the title orbit and the outline decay go on.
    press(SDL_SCANCODE_LALT);
    ASSERT_TRUE(g->is_paused());
    scene::set_global_outline_thickness(60);
    const glm::vec3 head = g->get_snake().get_head()->pos;
    const glm::vec3 eye = g->get_chase_camera().get_eye();
    const glm::vec3 cube = g->get_backdrop_cubes()[0]->get_pos();
    const float angle = g->get_angle();
    press(SDL_SCANCODE_LEFT); // steering is taken, and acts after the pause
    g->frame();
    g->frame();
    EXPECT_EQ(g->get_snake().get_head()->pos, head);
    EXPECT_EQ(g->get_chase_camera().get_eye(), eye);
    EXPECT_EQ(g->get_backdrop_cubes()[0]->get_pos(), cube);
    EXPECT_EQ(g->get_angle(), angle + 2.0f);
    EXPECT_EQ(scene::get_global_outline_thickness(), 48);
    press(SDL_SCANCODE_LALT);
    EXPECT_FALSE(g->is_paused());
    g->frame();
    EXPECT_FLOAT_EQ(g->get_snake().get_yaw_rate(), 0.4f);

    // Dying, left Alt no longer pauses.
    g->get_snake().set_dead();
    press(SDL_SCANCODE_LALT);
    EXPECT_FALSE(g->is_paused());
}

TEST_F(game_test, a_game_from_the_first_pickup_to_game_over_and_the_next_start) {
    Mix_Chunk* sound = tulk::audio::soundMap["sfx/167338__plimbo__pup-fat.wav"];
    ASSERT_NE(sound, nullptr);
    Mix_VolumeChunk(sound, 1); // a play at 100 percent sets it to 128
    press(SDL_SCANCODE_LALT);
    g->frame();
    pickup_ahead();
    std::vector<int> thickness;
    for (int i = 0; i < 15; ++i) {
        g->frame();
        thickness.push_back(scene::get_global_outline_thickness());
    }
    EXPECT_EQ(Mix_VolumeChunk(sound, -1), 128);
    EXPECT_EQ(thickness,
              (std::vector<int>{54, 48, 43, 38, 34, 30, 27, 24, 21, 18, 16, 14, 12, 10, 10}));
    for (int i = 0; i < 4; ++i) {
        pickup_ahead();
        g->frame();
    }
    g->frame(); // the score is shown by the update after the one that ate
    EXPECT_EQ(g->get_score_text().get_string(), "score: 5");

    // The frame that ends the death animation still runs its update, then shows the
    // title and saves; the title no longer updates the world.
    g->get_snake().set_dead();
    g->frame();
    fake_clock::ticks += 1999;
    g->frame();
    EXPECT_FALSE(g->in_title());
    fake_clock::ticks += 1;
    const glm::vec3 head = g->get_snake().get_head()->pos;
    g->frame();
    EXPECT_TRUE(g->in_title());
    EXPECT_NE(g->get_snake().get_head()->pos, head);
    EXPECT_EQ(read_text("highscore"), "5\n");
    const glm::vec3 after = g->get_snake().get_head()->pos;
    g->frame();
    EXPECT_EQ(g->get_snake().get_head()->pos, after);

    press(SDL_SCANCODE_LALT);
    g->frame();
    EXPECT_EQ(g->get_score_text().get_string(), "score: 0");
    EXPECT_EQ(g->get_high_score_text().get_string(), "high score: 5");
}

class stored_high_score_test : public game_test {
protected:
    stored_high_score_test() { stored_high_score = "  17abc\n"; }
};

TEST_F(stored_high_score_test, is_read_at_start_and_written_at_exit) {
    EXPECT_EQ(g->get_high_score_text().get_string(), "high score: 17");
    fs::remove("highscore");
    g->teardown_first();
    EXPECT_EQ(read_text("highscore"), "17\n");
}

TEST_F(game_test, title_and_play_are_drawn_and_a_quitting_frame_still_runs_in_full) {
    g->frame();
    EXPECT_NE(context->pixel(160, 120), glm::u8vec4(0, 0, 0, 0)); // the title card
    press(SDL_SCANCODE_LALT);
    g->frame();
    // The green snake's tail end is straight ahead of the chase camera.
    int green = 0;
    const auto pixels = context->pixels();
    for (size_t i = 0; i < pixels.size(); i += 4) {
        green += pixels[i + 1] > 90 && pixels[i + 1] > 2 * pixels[i] &&
                 pixels[i + 1] > 2 * pixels[i + 2];
    }
    EXPECT_GT(green, 50);

    const glm::vec3 head = g->get_snake().get_head()->pos;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_TRUE(frame_loop::step(context->get_window(), *g));
    EXPECT_NE(g->get_snake().get_head()->pos, head);
}

TEST_F(game_test, state_caching_and_outline_order_leave_every_pixel_as_drawn_without) {
    using tulk::graphics::draw_state;
    // Each check draws the same state with the engine's state caching on, as every frame
    // draws, then with it off: every GL call made again and outlines in list order.
    const auto same_both_ways = [&](const char* when) {
        g->draw();
        const auto cached = context->pixels();
        for (GLuint index = 0; index < 4; ++index) {
            GLint enabled = GL_TRUE;
            glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
            EXPECT_EQ(enabled, GL_FALSE) << when << ": array " << index << " left enabled";
        }
        draw_state::set_caching(false);
        g->draw();
        draw_state::set_caching(true);
        EXPECT_TRUE(cached == context->pixels()) << when;
    };
    g->frame();
    same_both_ways("title");
    press(SDL_SCANCODE_LALT);
    // A long snake on a gentle left circle, fed every frame, its body piled behind the head.
    for (int f = 0; f < 150; ++f) {
        key(f % 4 == 3 ? SDL_KEYUP : SDL_KEYDOWN, SDL_SCANCODE_LEFT);
        pickup_ahead();
        g->frame();
        if (f % 50 == 49) {
            same_both_ways("playing");
        }
    }
    EXPECT_GE(g->get_snake().get_length(), 150);
    press(SDL_SCANCODE_LALT);
    g->frame();
    same_both_ways("paused");
}

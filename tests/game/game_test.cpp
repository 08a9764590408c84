#include "engine/audio/audio.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/game_clock.h"
#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::scene;

namespace {

std::uint32_t fake_now = 1000;
std::uint32_t fake_clock() {
    return fake_now;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The real game, set up in a private copy of the staged data so that its
// "highscore" stays out of the build tree.
class game_test : public testing::Test {
protected:
    void SetUp() override { start(320, 240); }

    void start(int width, int height, const std::string& stored_high_score = "") {
        const char* stage = std::getenv("ARDLOW_STAGE_DIR");
        ASSERT_NE(stage, nullptr);
        dir = make_temp_dir();
        for (const char* folder : {"textures", "music", "sfx"}) {
            fs::copy(fs::path(stage) / folder, fs::path(dir) / folder, fs::copy_options::recursive);
        }
        if (!stored_high_score.empty()) {
            std::ofstream(fs::path(dir) / "highscore") << stored_high_score;
        }
        ASSERT_EQ(chdir(dir.c_str()), 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        context = std::make_unique<test_context>(width, height);
        tulk::audio::init();
        game_clock::set_source(fake_clock);
        g = std::make_unique<game>(context->get_window());
    }

    void TearDown() override {
        if (g) {
            g->teardown_first();
            tulk::audio::destroy();
            g->teardown_second();
            g.reset();
        }
        game_clock::set_source(nullptr);
        context.reset();
        fs::remove_all(dir);
    }

    void key(Uint32 type, SDL_Scancode code) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = code;
        g->handle_key(event);
    }
    void press(SDL_Scancode code) { key(SDL_KEYDOWN, code); }
    void release(SDL_Scancode code) { key(SDL_KEYUP, code); }

    // Puts the first pickup where the head will be after the next update.
    void pickup_ahead() {
        block* pickup = g->get_level().get_pickups().front();
        const block* head = g->get_snake().get_head();
        pickup->set_pos(head->pos + 0.4f * g->get_snake().get_direction());
    }

    // Runs frames until the death animation is over and the title shows again.
    void die_and_wait() {
        g->get_snake().set_dead();
        g->frame();
        fake_now += 2000;
        g->frame();
    }

    std::string dir;
    std::unique_ptr<test_context> context;
    std::unique_ptr<game> g;
};

} // namespace

TEST_F(game_test, set_up_follows_the_window_size) {
    EXPECT_TRUE(g->in_title());
    EXPECT_FALSE(g->is_paused());
    EXPECT_EQ(scene::get_global_inverse_shadow_map_dimensions(), glm::vec2(1.0f / 640, 1.0f / 480));
    EXPECT_EQ(g->get_pause_text().get_pos(), glm::vec3(160, 120, 0));
    EXPECT_EQ(g->get_score_text().get_pos(), glm::vec3(8, 180, 0));
    EXPECT_EQ(g->get_score_text().get_string(), "score: 0");
    EXPECT_EQ(g->get_high_score_text().get_string(), "high score: 0");
    ASSERT_EQ(g->get_backdrop_cubes().size(), 400u);
    for (const glm::vec3& offset : g->get_backdrop_offsets()) {
        EXPECT_GE(glm::length(offset), 79.999f);
        EXPECT_LT(glm::length(offset), 119.001f);
    }
    // Backdrop, walls, pickups and the snake in play; backdrop and walls on the title.
    EXPECT_EQ(g->get_play_scene().get_model(400 + 10 + 63), nullptr);
    EXPECT_NE(g->get_play_scene().get_model(400 + 10 + 62), nullptr);
    EXPECT_EQ(g->get_title_scene().get_model(460), nullptr);
    EXPECT_NE(g->get_title_scene().get_model(459), nullptr);
}

TEST_F(game_test, title_only_answers_left_alt) {
    for (SDL_Scancode code : {SDL_SCANCODE_LEFT, SDL_SCANCODE_UP, SDL_SCANCODE_RSHIFT,
                              SDL_SCANCODE_PAGEUP, SDL_SCANCODE_SPACE}) {
        press(code);
    }
    g->get_snake().update();
    EXPECT_EQ(g->get_snake().get_yaw_rate(), 0.0f);
    EXPECT_EQ(g->get_snake().get_pitch_rate(), 0.0f);
    EXPECT_EQ(g->get_snake().get_roll_rate(), 0.0f);
    EXPECT_TRUE(g->in_title());

    press(SDL_SCANCODE_LALT);
    EXPECT_FALSE(g->in_title());
    EXPECT_FALSE(g->is_paused()); // the starting press does not also pause
}

TEST_F(game_test, left_alt_pauses_the_living_only) {
    press(SDL_SCANCODE_LALT);
    press(SDL_SCANCODE_LALT);
    EXPECT_TRUE(g->is_paused());
    press(SDL_SCANCODE_LALT); // an auto-repeated press toggles again
    EXPECT_FALSE(g->is_paused());
    g->get_snake().set_dead();
    press(SDL_SCANCODE_LALT);
    EXPECT_FALSE(g->is_paused());
}

TEST_F(game_test, paused_world_stands_still_while_the_rest_goes_on) {
    press(SDL_SCANCODE_LALT);
    g->frame();
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
    g->frame();
    EXPECT_FLOAT_EQ(g->get_snake().get_yaw_rate(), 0.4f);
}

TEST_F(game_test, released_key_stops_the_turn_although_its_opposite_is_held) {
    press(SDL_SCANCODE_LALT);
    press(SDL_SCANCODE_LEFT);
    press(SDL_SCANCODE_RIGHT);
    release(SDL_SCANCODE_RIGHT);
    g->frame();
    EXPECT_EQ(g->get_snake().get_yaw_rate(), 0.0f);
    EXPECT_EQ(g->get_snake().get_direction(), glm::vec3(0, 0, -1));
}

TEST_F(game_test, pickup_thickens_outlines_that_decay_back_to_ten) {
    press(SDL_SCANCODE_LALT);
    g->frame();
    pickup_ahead();
    std::vector<int> thickness;
    for (int i = 0; i < 15; ++i) {
        g->frame();
        thickness.push_back(scene::get_global_outline_thickness());
    }
    EXPECT_EQ(thickness,
              (std::vector<int>{54, 48, 43, 38, 34, 30, 27, 24, 21, 18, 16, 14, 12, 10, 10}));
    EXPECT_EQ(g->get_score(), 1u);
    EXPECT_EQ(g->get_score_text().get_string(), "score: 1");
    EXPECT_EQ(g->get_high_score_text().get_string(), "high score: 1");
}

TEST_F(game_test, game_over_frame_updates_then_shows_the_title_and_saves) {
    press(SDL_SCANCODE_LALT);
    g->frame();
    g->get_snake().set_dead();
    g->frame();
    EXPECT_FALSE(g->in_title());
    fake_now += 1999;
    g->frame();
    EXPECT_FALSE(g->in_title());
    fake_now += 1;
    const glm::vec3 head = g->get_snake().get_head()->pos;
    g->frame();
    EXPECT_TRUE(g->in_title());
    EXPECT_NE(g->get_snake().get_head()->pos, head); // the shiver still ran this frame
    EXPECT_EQ(read_text("highscore"), "0\n");
    // The title state no longer updates the world.
    const glm::vec3 after = g->get_snake().get_head()->pos;
    g->frame();
    EXPECT_EQ(g->get_snake().get_head()->pos, after);
}

TEST_F(game_test, next_game_shows_score_zero_and_keeps_the_best) {
    press(SDL_SCANCODE_LALT);
    g->frame();
    for (int i = 0; i < 5; ++i) {
        pickup_ahead();
        g->frame();
    }
    g->frame(); // the score is shown by the update after the one that ate
    EXPECT_EQ(g->get_score_text().get_string(), "score: 5");
    die_and_wait();
    ASSERT_TRUE(g->in_title());
    EXPECT_EQ(read_text("highscore"), "5\n");
    EXPECT_EQ(g->get_score_text().get_string(), "score: 5"); // not cleared at game over
    press(SDL_SCANCODE_LALT);
    g->frame();
    EXPECT_EQ(g->get_score_text().get_string(), "score: 0");
    EXPECT_EQ(g->get_high_score_text().get_string(), "high score: 5");
    EXPECT_EQ(g->get_high_score(), 5u);
}

class stored_high_score_test : public game_test {
protected:
    void SetUp() override { start(320, 240, "  17abc\n"); }
};

TEST_F(stored_high_score_test, is_read_at_start_and_written_at_exit) {
    EXPECT_EQ(g->get_high_score(), 17u);
    EXPECT_EQ(g->get_high_score_text().get_string(), "high score: 17");
    fs::remove("highscore");
    g->teardown_first();
    EXPECT_EQ(read_text("highscore"), "17\n");
}

TEST_F(game_test, title_and_play_are_drawn) {
    g->frame();
    context->save_png(std::string(std::getenv("ARDLOW_BUILD_DIR")) + "/game_title.png");
    // The title card covers the middle of the screen.
    EXPECT_NE(context->pixel(160, 120), glm::u8vec4(0, 0, 0, 0));
    press(SDL_SCANCODE_LALT);
    g->frame();
    g->frame();
    context->save_png(std::string(std::getenv("ARDLOW_BUILD_DIR")) + "/game_play.png");
    // The green snake's tail end is straight ahead of the chase camera.
    int green = 0;
    const auto pixels = context->pixels();
    for (size_t i = 0; i < pixels.size(); i += 4) {
        green += pixels[i + 1] > 90 && pixels[i + 1] > 2 * pixels[i] &&
                 pixels[i + 1] > 2 * pixels[i + 2];
    }
    EXPECT_GT(green, 50);
}

TEST_F(game_test, quit_request_still_runs_the_whole_frame) {
    press(SDL_SCANCODE_LALT);
    EXPECT_FALSE(frame_loop::step(context->get_window(), *g));
    const glm::vec3 head = g->get_snake().get_head()->pos;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_TRUE(frame_loop::step(context->get_window(), *g));
    EXPECT_NE(g->get_snake().get_head()->pos, head);
}

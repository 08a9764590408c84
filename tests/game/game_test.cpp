#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game_fixture.h"

namespace fs = std::filesystem;
using tulk::graphics::scene;

namespace {

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Puts the first pickup where the head will be after the next update.
void pickup_ahead(game& g) {
    const snake& s = g.get_snake();
    g.get_level().get_pickups().front()->set_pos(s.get_head()->pos + 0.4f * s.get_direction());
}

} // namespace

TEST_F(game_test, keys_act_on_their_events_in_every_state_and_a_paused_world_stands_still) {
    // The title answers only left Alt.
    press(SDL_SCANCODE_UP);
    press(SDL_SCANCODE_PAGEUP);
    g->get_snake().update();
    EXPECT_EQ(g->get_snake().get_pitch_rate(), 0.0f);
    EXPECT_EQ(g->get_snake().get_roll_rate(), 0.0f);
    EXPECT_TRUE(g->in_title());

    // A press and its release in one frame still act, whatever the keyboard state says:
    // left Alt starts a game without pausing it, pauses it, resumes it.
    for (const bool paused : {false, true, false}) {
        push(key_event(SDL_KEYDOWN, SDL_SCANCODE_LALT));
        push(key_event(SDL_KEYUP, SDL_SCANCODE_LALT));
        EXPECT_FALSE(step());
        EXPECT_FALSE(g->in_title());
        EXPECT_EQ(g->is_paused(), paused);
    }

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
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_LALT));
    push(key_event(SDL_KEYUP, SDL_SCANCODE_LALT));
    step();
    EXPECT_FALSE(g->is_paused());
}

TEST_F(game_test, losing_focus_pauses_only_a_game_in_play_and_lets_go_of_its_keys) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    const auto window_event = [&](SDL_WindowEventID id) {
        event.window.event = id;
        push(event);
        step();
    };
    window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(g->in_title());
    press(SDL_SCANCODE_LALT);
    for (const auto lost : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED}) {
        press(SDL_SCANCODE_LEFT);
        window_event(lost);
        window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
        EXPECT_TRUE(g->is_paused());
        press(SDL_SCANCODE_LALT);
        step();
        EXPECT_EQ(g->get_snake().get_yaw_rate(), 0.0f) << "left is still held";
    }
    g->get_snake().set_dead();
    window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_FALSE(g->is_paused());
}

TEST_F(game_test, a_game_from_the_first_pickup_to_game_over_and_the_next_start) {
    Mix_Chunk* sound = tulk::audio::soundMap["sfx/167338__plimbo__pup-fat.wav"];
    ASSERT_NE(sound, nullptr);
    Mix_VolumeChunk(sound, 1); // a play at 100 percent sets it to 128
    press(SDL_SCANCODE_LALT);
    g->frame();
    pickup_ahead(*g);
    std::vector<int> thickness;
    for (int i = 0; i < 15; ++i) {
        g->frame();
        thickness.push_back(scene::get_global_outline_thickness());
    }
    EXPECT_EQ(Mix_VolumeChunk(sound, -1), 128);
    EXPECT_EQ(thickness,
              (std::vector<int>{54, 48, 43, 38, 34, 30, 27, 24, 21, 18, 16, 14, 12, 10, 10}));
    for (int i = 0; i < 4; ++i) {
        pickup_ahead(*g);
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

    // A window close quits, and so does a press of Escape or Q released in the same frame.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    for (const SDL_Scancode code : {SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_Q}) {
        if (code == SDL_SCANCODE_UNKNOWN) {
            push(quit);
        } else {
            push(key_event(SDL_KEYDOWN, code));
            push(key_event(SDL_KEYUP, code));
        }
        const glm::vec3 head = g->get_snake().get_head()->pos;
        EXPECT_TRUE(step()) << code;
        EXPECT_NE(g->get_snake().get_head()->pos, head);
    }
}

#include "engine/audio/audio.h"
#include "engine/graphics/draw_state.h"
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/gamepad.h"
#include "game/replay.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

using tulk::graphics::scene;

namespace {

// An SDL virtual joystick, a controller SDL maps by itself or a pad it does not know.
SDL_Joystick* attach_pad(bool controller = true) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = controller ? SDL_CONTROLLER_AXIS_MAX : 0;
    desc.nbuttons = controller ? SDL_CONTROLLER_BUTTON_MAX : 4;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.vendor_id = 0x1209;
    desc.product_id = 0x7a11;
    desc.name = "Handheld pad";
    return SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
}

// A button or an axis of a virtual pad, with its raw values when held and when let go.
struct pad_input {
    bool axis;
    int which, on, off;
    void set(SDL_Joystick* pad, bool held) const {
        const int value = held ? on : off;
        axis ? SDL_JoystickSetVirtualAxis(pad, which, static_cast<Sint16>(value))
             : SDL_JoystickSetVirtualButton(pad, which, static_cast<Uint8>(value));
    }
};

// The real game with its controllers, in a private copy of the staged data.
class game_test : public testing::Test {
protected:
    void SetUp() override {
        enter_game_copy();
        restart(settings());
        // SDL drops controller input without the focus, which offscreen never has.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    }

    void press(action a) { g->act(a, true); }
    // A press and release of a key in one frame; true when it quits.
    bool type(SDL_Scancode code) {
        push(key_event(SDL_KEYDOWN, code));
        push(key_event(SDL_KEYUP, code));
        return step();
    }
    // The game stopped as at its end and made anew with the settings in its folder.
    // The file is read once the last run has ended, and with it its saves.
    void restart(std::optional<settings> prefs = std::nullopt) {
        pads.reset();
        running.reset();
        running =
            start_session(screen.x, screen.y, prefs ? std::move(*prefs) : settings("settings.ini"));
        g = &running->get_game();
        pads = std::make_unique<gamepad>();
    }
    bool step() { return frame_loop::step(running->get_window(), *g, pads.get()); }
    void tap(SDL_Joystick* pad, const pad_input& in) {
        in.set(pad, true);
        step();
        in.set(pad, false);
        step();
    }
    float yaw() const { return g->get_snake().get_yaw_rate(); }

    // The box of the pixels that change when `shown` turns from white to black.
    struct box {
        glm::ivec2 low{INT_MAX}, high{INT_MIN};
        glm::ivec2 size() const { return high - low + 1; }
        glm::vec2 centre() const { return glm::vec2(low + high) / 2.0f; }
        glm::ivec2 from_top_left(int rows) const { return {low.x, rows - high.y}; }
    };
    template <class Shown>
    box changed_by(Shown& shown) {
        const int width = running->get_window().get_width();
        const int height = running->get_window().get_height();
        g->draw();
        const auto white = read_pixels(width, height);
        shown.set_colour(glm::vec3(0.0f));
        g->draw();
        const auto black = read_pixels(width, height);
        shown.set_colour(glm::vec3(1.0f));
        box b;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const size_t i = (static_cast<size_t>(y) * width + x) * 4;
                if (!std::equal(&white[i], &white[i] + 3, &black[i])) {
                    b.low = glm::min(b.low, glm::ivec2(x, y));
                    b.high = glm::max(b.high, glm::ivec2(x, y));
                }
            }
        }
        return b;
    }
    // The window changes size as a player's would, and a frame runs.
    void resize(int width, int height) {
        tulk::graphics::window& w = running->get_window();
        SDL_SetWindowSize(w.get_sdl_window(), width, height);
        step();
        ASSERT_EQ(glm::ivec2(w.get_width(), w.get_height()), glm::ivec2(width, height));
    }

    // The offscreen window's size at the start.
    glm::ivec2 screen{320, 240};
    fake_clock clock;
    std::unique_ptr<session> running;
    game* g = nullptr;
    std::unique_ptr<gamepad> pads;
};

// A pbuffer as large as the largest screen tried; a smaller window draws into its corner.
class big_screen_test : public game_test {
protected:
    big_screen_test() { screen = {2560, 1440}; }
};

} // namespace

TEST_F(game_test, keys_and_focus_act_in_every_state_and_quitting_frames_run_in_full) {
    // A press released in the same frame still acts: start (unpaused), pause, resume.
    for (const bool paused : {false, true, false}) {
        EXPECT_FALSE(type(SDL_SCANCODE_LALT));
        EXPECT_FALSE(g->in_title());
        EXPECT_EQ(g->is_paused(), paused);
    }

    // Losing the focus or minimised, a game pauses and lets go of its keys.
    SDL_Event lost = key_event(SDL_WINDOWEVENT, SDL_SCANCODE_UNKNOWN);
    for (const auto id : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED}) {
        press(action::yaw_left);
        lost.window.event = id;
        push(lost);
        step();
        EXPECT_TRUE(g->is_paused());
        press(action::start);
        step();
        EXPECT_EQ(yaw(), 0.0f) << "left is still held";
    }

    // A released key stops the turn although its opposite is still held.
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_LEFT));
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_RIGHT));
    push(key_event(SDL_KEYUP, SDL_SCANCODE_RIGHT));
    step();
    EXPECT_EQ(yaw(), 0.0f);

    // Paused, the world stands still while the title orbit and the outline decay go on.
    press(action::start);
    scene::set_global_outline_thickness(60);
    const glm::vec3 head = g->get_snake().get_head()->pos;
    const float angle = g->get_angle();
    press(action::yaw_left); // steering is taken, and acts after the pause
    g->frame();
    g->frame();
    EXPECT_EQ(g->get_snake().get_head()->pos, head);
    EXPECT_EQ(g->get_angle(), angle + 2.0f);
    EXPECT_EQ(scene::get_global_outline_thickness(), 48);
    press(action::start);
    g->frame();
    EXPECT_FLOAT_EQ(yaw(), 0.4f);

    // Dying, neither left Alt nor a focus loss pauses.
    g->get_snake().set_dead();
    press(action::start);
    push(lost);
    step();
    EXPECT_FALSE(g->is_paused());

    // A window close quits, and so does a press of Escape or Q released in the same frame.
    for (const SDL_Scancode code : {SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_Q}) {
        push(key_event(code == SDL_SCANCODE_UNKNOWN ? SDL_QUIT : SDL_KEYDOWN, code));
        push(key_event(SDL_KEYUP, code));
        const glm::vec3 head = g->get_snake().get_head()->pos;
        EXPECT_TRUE(step()) << code;
        EXPECT_NE(g->get_snake().get_head()->pos, head);
    }
}

TEST_F(game_test, controllers_do_what_the_keys_do_and_come_and_go) {
    SDL_Joystick* pad = attach_pad();
    SDL_Joystick* second = attach_pad();
    step(); // the game opens both
    tap(second, {false, SDL_CONTROLLER_BUTTON_A, 1, 0});
    ASSERT_FALSE(g->in_title());
    // Held, an input adds 0.4 to its rate or doubles the speed; let go, the rate halves.
    const struct {
        pad_input in;
        glm::vec4 yaw_pitch_roll_step;
    } inputs[] = {
        {{false, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1, 0}, {0.4f, 0.0f, 0.0f, 0.4f}},
        {{false, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1, 0}, {-0.4f, 0.0f, 0.0f, 0.4f}},
        {{false, SDL_CONTROLLER_BUTTON_DPAD_UP, 1, 0}, {0.0f, -0.4f, 0.0f, 0.4f}},
        {{false, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1, 0}, {0.0f, 0.4f, 0.0f, 0.4f}},
        {{false, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1, 0}, {0.0f, 0.0f, -0.4f, 0.4f}},
        {{false, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1, 0}, {0.0f, 0.0f, 0.4f, 0.4f}},
        {{true, SDL_CONTROLLER_AXIS_LEFTY, -32768, 0}, {0.0f, -0.4f, 0.0f, 0.4f}},
        {{true, SDL_CONTROLLER_AXIS_LEFTY, 32767, 0}, {0.0f, 0.4f, 0.0f, 0.4f}},
        {{false, SDL_CONTROLLER_BUTTON_B, 1, 0}, {0.0f, 0.0f, 0.0f, 0.8f}},
        // A virtual trigger rests at the bottom of the raw range.
        {{true, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, -32768}, {0.0f, 0.0f, 0.0f, 0.8f}},
    };
    snake& s = g->get_snake();
    for (const auto& [in, held] : inputs) {
        s.reset(g->get_play_scene());
        for (const bool on : {true, false}) {
            in.set(pad, on);
            const glm::vec3 head = s.get_head()->pos;
            step();
            const glm::vec4 seen(s.get_yaw_rate(), s.get_pitch_rate(), s.get_roll_rate(),
                                 glm::length(s.get_head()->pos - head));
            const glm::vec4 expected = on ? held : glm::vec4(glm::vec3(held) / 2.0f, 0.4f);
            EXPECT_LT(glm::distance(seen, expected), 1e-5f) << in.which << " held " << on;
        }
    }

    // A stick counts as held past half its travel and as let go below a third.
    s.reset(g->get_play_scene());
    const float moves[][2] = {{12000, 0.0f},  {20000, -0.4f},  {12000, -0.8f},
                              {10000, -0.4f}, {-12000, -0.2f}, {-20000, 0.2f}};
    for (const auto& [value, rate] : moves) {
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(value));
        step();
        EXPECT_FLOAT_EQ(yaw(), rate) << value;
    }

    // Unplugged, the first pad pauses the game and lets go of its stick; Start resumes.
    SDL_JoystickDetachVirtual(0);
    step();
    EXPECT_EQ(pads->count(), 1u);
    EXPECT_TRUE(g->is_paused());
    tap(second, {false, SDL_CONTROLLER_BUTTON_START, 1, 0});
    EXPECT_FALSE(g->is_paused());
    EXPECT_FLOAT_EQ(yaw(), 0.05f);

    // Back and Start together quit, and Start is then no pause.
    SDL_JoystickSetVirtualButton(second, SDL_CONTROLLER_BUTTON_BACK, 1);
    SDL_JoystickSetVirtualButton(second, SDL_CONTROLLER_BUTTON_START, 1);
    EXPECT_TRUE(step());
    EXPECT_FALSE(g->is_paused());
}

// Built-in controls are there before the game starts, so the pad is mapped as it opens.
TEST_F(game_test, a_mapping_file_in_the_game_folder_makes_a_pad_sdl_does_not_know_a_controller) {
    SDL_Joystick* pad = attach_pad(false);
    step();
    ASSERT_FALSE(SDL_IsGameController(0));
    EXPECT_EQ(pads->count(), 0u);

    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(pad), guid, sizeof guid);
    std::ofstream("gamecontrollerdb.txt") << "# a line SDL skips\n"
                                          << guid << ",Handheld pad,a:b3,platform:Linux,\n";
    pads.reset();
    pads = std::make_unique<gamepad>();
    step();
    EXPECT_EQ(pads->count(), 1u);
    tap(pad, {false, 3, 1, 0});
    EXPECT_FALSE(g->in_title());
}

// The soak checks the scores and the saved high score; these are what it cannot see.
TEST_F(game_test, a_game_from_the_first_pickup_flash_to_the_frame_that_ends_the_death) {
    Mix_Chunk* sound = tulk::audio::soundMap["sfx/167338__plimbo__pup-fat.wav"];
    ASSERT_NE(sound, nullptr);
    Mix_VolumeChunk(sound, 1); // a play at 100 percent sets it to 128
    press(action::start);
    put_pickup_ahead(*g);
    g->frame();
    EXPECT_EQ(scene::get_global_outline_thickness(), 54);
    EXPECT_EQ(Mix_VolumeChunk(sound, -1), 128);
    for (int i = 0; i < 14; ++i) {
        g->frame();
    }
    EXPECT_EQ(scene::get_global_outline_thickness(), 10); // the floor

    // The frame that ends the death updates, then shows the title, which updates nothing.
    g->get_snake().set_dead();
    fake_clock::ticks += 2000;
    const glm::vec3 head = g->get_snake().get_head()->pos;
    g->frame();
    EXPECT_TRUE(g->in_title());
    EXPECT_NE(g->get_snake().get_head()->pos, head);
    const glm::vec3 after = g->get_snake().get_head()->pos;
    g->frame();
    EXPECT_EQ(g->get_snake().get_head()->pos, after);
}

TEST_F(game_test, state_caching_and_outline_order_leave_every_pixel_as_drawn_without) {
    using tulk::graphics::draw_state;
    // Each state drawn as every frame is, then with no GL state caching or outline sorting.
    const auto same_both_ways = [&](const char* when) {
        g->draw();
        const auto cached = read_pixels(320, 240);
        for (GLuint index = 0; index < 4; ++index) {
            GLint enabled = GL_TRUE;
            glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
            EXPECT_EQ(enabled, GL_FALSE) << when << ": array " << index << " left enabled";
        }
        draw_state::set_caching(false);
        g->draw();
        draw_state::set_caching(true);
        EXPECT_TRUE(cached == read_pixels(320, 240)) << when;
    };
    g->frame();
    same_both_ways("title");
    press(action::start);
    // A long snake on a gentle left circle, fed every frame, its body piled behind the head.
    for (int f = 0; f < 150; ++f) {
        g->act(action::yaw_left, f % 4 != 3);
        put_pickup_ahead(*g);
        g->frame();
    }
    EXPECT_GE(g->get_snake().get_length(), 150);
    same_both_ways("playing");
    press(action::start);
    g->frame();
    same_both_ways("paused");
}

TEST_F(big_screen_test, a_resize_mid_game_keeps_the_game_and_scales_the_texts_by_whole_steps) {
    press(action::start);
    for (int i = 0; i < 5; ++i) {
        g->frame();
    }
    press(action::start);
    const glm::vec3 head = g->get_snake().get_head()->pos;
    // At 480 rows the design's places; 1080 and 1440 rows scale them by 2 and 3.
    box pause_at_480, score_at_480;
    for (const auto& [width, height, k] :
         {std::tuple{800, 480, 1}, {1920, 1080, 2}, {2560, 1440, 3}}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        resize(width, height);
        EXPECT_TRUE(g->is_paused() && !g->in_title());
        EXPECT_EQ(g->get_snake().get_head()->pos, head);
        EXPECT_EQ(g->get_text_layout().get_scale(), k);

        const box pause = changed_by(g->get_pause_text());
        const box score = changed_by(g->get_score_text());
        if (k == 1) {
            // "paused" 30 pixels a glyph; the score 20, 8 from the left, 40-60 from the top.
            EXPECT_NEAR(pause.size().x, 180, 30);
            EXPECT_NEAR(pause.size().y, 30, 5);
            EXPECT_GE(score.low.x, 8);
            EXPECT_LE(score.high.y, height - 40);
            EXPECT_GE(score.low.y, height - 60);
            pause_at_480 = pause;
            score_at_480 = score;
        }
        // Sizes grow k-fold, to a pixel at each step of k.
        const auto near = [k](glm::ivec2 seen, glm::ivec2 at_480) {
            return glm::all(glm::lessThanEqual(glm::abs(seen - k * at_480), glm::ivec2(k)));
        };
        EXPECT_TRUE(near(pause.size(), pause_at_480.size()) &&
                    near(score.size(), score_at_480.size()));
        // The pause text stays centred, the score as far from the top-left corner times k.
        EXPECT_LE(glm::distance(pause.centre(), glm::vec2(width, height) / 2.0f), 1.5f);
        EXPECT_TRUE(near(score.from_top_left(height), score_at_480.from_top_left(480)));
    }
}

TEST_F(game_test, f11_switches_the_display_and_only_a_full_screen_game_in_play_grabs_the_pointer) {
    tulk::graphics::window& w = running->get_window();
    // Whether the pointer is grabbed and shown after a frame in the state reached.
    const auto pointer = [&] {
        step();
        return std::pair(w.get_input_grab(), SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE);
    };
    const std::pair grabbed_hidden(true, false), free_hidden(false, false), free_shown(false, true);
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "full screen" : "window");
        type(SDL_SCANCODE_F11);
        EXPECT_EQ(w.is_fullscreen(), full);
        EXPECT_EQ(pointer(), free_shown) << "title";
        press(action::start);
        EXPECT_EQ(pointer(), full ? grabbed_hidden : free_hidden) << "play";
        press(action::start);
        EXPECT_EQ(pointer(), free_shown) << "paused";
        press(action::start);
        g->get_snake().set_dead();
        g->frame();
        EXPECT_EQ(pointer(), free_shown) << "dying";
        fake_clock::ticks += 2000;
        step();
        ASSERT_TRUE(g->in_title());
    }
}

TEST_F(big_screen_test,
       the_title_card_keeps_the_pictures_shape_and_its_lines_below_the_high_score) {
    const glm::vec2 picture(600.0f, 384.0f);
    for (const auto& [width, height] :
         {std::pair{800, 480}, {720, 720}, {1280, 720}, {1920, 1080}, {320, 240}, {400, 200}}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        resize(width, height);
        const box card = changed_by(g->get_title_card());
        const glm::vec2 drawn = card.size();
        EXPECT_NEAR(drawn.x, drawn.y * picture.x / picture.y, 1.0f);
        EXPECT_LE(glm::distance(card.centre(), glm::vec2(width - 1, height - 1) / 2.0f), 1.0f);
        // Within the card's area, touching it on two sides.
        EXPECT_TRUE(drawn.x == 0.75f * width || drawn.y == 0.8f * height)
            << drawn.x << " " << drawn.y;
        EXPECT_TRUE(width != 800 ||
                    (card.low == glm::ivec2(100, 48) && card.high == glm::ivec2(699, 431)));
        EXPECT_GT(changed_by(g->get_high_score_text()).low.y, card.high.y);
        // The lines on the controls stay on it.
        for (text* t : g->get_hints().get_texts()) {
            const box b = changed_by(*t);
            EXPECT_TRUE(glm::all(glm::greaterThanEqual(b.low, card.low) &&
                                 glm::lessThanEqual(b.high, card.high)))
                << t->get_string();
        }
    }
}

TEST_F(game_test, keys_of_the_players_own_and_volume_changes_are_kept_for_the_next_run) {
    { std::ofstream("settings.ini") << "[controls]\nstart = P\n"; }
    restart();
    type(SDL_SCANCODE_LALT);
    EXPECT_TRUE(g->in_title());
    type(SDL_SCANCODE_P);
    EXPECT_FALSE(g->in_title());
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);

    // M mutes and unmutes; minus and plus (the keypad's too) step both volumes by a tenth.
    const struct {
        SDL_Scancode key;
        int volume;
    } steps[] = {
        {SDL_SCANCODE_M, 0},          {SDL_SCANCODE_M, 128},       {SDL_SCANCODE_MINUS, 115},
        {SDL_SCANCODE_KP_MINUS, 102}, {SDL_SCANCODE_KP_PLUS, 115}, {SDL_SCANCODE_EQUALS, 128},
        {SDL_SCANCODE_EQUALS, 128},   {SDL_SCANCODE_MINUS, 115},   {SDL_SCANCODE_M, 0}};
    for (const auto& [key, volume] : steps) {
        type(key);
        EXPECT_EQ(std::pair(Mix_VolumeMusic(-1), Mix_Volume(0, -1)), std::pair(volume, volume))
            << SDL_GetScancodeName(key);
    }
    EXPECT_FALSE(g->is_paused()) << "a volume key is no pause";
    // Each says what it did in the top-right corner, above the high score, for a moment.
    EXPECT_EQ(g->get_notice_text().get_string(), "SOUND OFF");
    const box line = changed_by(g->get_notice_text());
    EXPECT_NEAR(line.high.x, 310, 3);
    EXPECT_TRUE(line.low.y > changed_by(g->get_high_score_text()).high.y && line.high.y < 240);
    type(SDL_SCANCODE_M);
    EXPECT_EQ(g->get_notice_text().get_string(), "MUSIC 90%  EFFECTS 90%");
    fake_clock::ticks += notice::shown_ms - 1;
    EXPECT_TRUE(g->shows_notice());
    fake_clock::ticks += 1;
    EXPECT_LT(changed_by(g->get_notice_text()).high.x, 0) << "not drawn once gone";
    // Paused, the game rests only once the line is gone.
    type(SDL_SCANCODE_P);
    type(SDL_SCANCODE_M);
    EXPECT_FALSE(g->at_rest());
    fake_clock::ticks += notice::shown_ms;
    EXPECT_TRUE(g->at_rest());
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_M, KMOD_NONE, true));
    step();
    EXPECT_EQ(Mix_VolumeMusic(-1), 0) << "M held down mutes once";
    restart();
    EXPECT_EQ(Mix_VolumeMusic(-1), 0);
    type(SDL_SCANCODE_M);
    EXPECT_EQ(Mix_VolumeMusic(-1), 115);
    EXPECT_TRUE(g->in_title());
    EXPECT_EQ(g->get_keys().keys_of(action::start), std::vector{SDL_SCANCODE_P});
}

TEST_F(game_test, time_lost_in_play_pauses_before_the_world_moves_and_a_pause_rests) {
    press(action::start);
    for (int i = 0; i < 3; ++i) {
        fake_clock::ticks += frame_loop::period_ms;
        g->frame();
    }
    EXPECT_FALSE(g->is_paused());
    // Stopped for 3 s, as by SIGSTOP or a suspend: paused, the snake where it was.
    const glm::vec3 head = g->get_snake().get_head()->pos;
    fake_clock::ticks += 3000;
    g->frame();
    EXPECT_TRUE(g->is_paused());
    EXPECT_EQ(g->get_snake().get_head()->pos, head);
    // Nothing moves once the outlines are back to their width: the frame loop may rest.
    EXPECT_TRUE(g->at_rest());
    scene::set_global_outline_thickness(60);
    EXPECT_FALSE(g->at_rest());

    // The time spent paused is no absence: resumed, the snake flies on.
    fake_clock::ticks += 3000;
    press(action::start);
    g->frame();
    EXPECT_FALSE(g->is_paused());
    EXPECT_NE(g->get_snake().get_head()->pos, head);
}

TEST_F(big_screen_test, a_death_says_game_over_and_the_title_keeps_the_score_under_the_card) {
    { std::ofstream("highscore") << "1\n"; }
    restart();
    resize(800, 480);
    EXPECT_FALSE(g->shows_last_score()) << "before the first game";
    const auto play = [this](int pickups, bool beats) {
        press(action::start);
        EXPECT_FALSE(g->shows_last_score()) << "a new game clears the word on the last";
        for (int i = 0; i < pickups; ++i) {
            put_pickup_ahead(*g);
            g->frame();
        }
        EXPECT_FALSE(g->shows_game_over());
        g->get_snake().set_dead();
        g->frame();
        ASSERT_TRUE(g->shows_game_over());
        EXPECT_EQ(g->get_game_over_text().get_font_size(), g->get_pause_text().get_font_size());
        EXPECT_EQ(g->get_game_over_score_text().get_font_size(),
                  g->get_score_text().get_font_size());
        // Centred, one line under the other; the best's line only when it was beaten.
        const box over = changed_by(g->get_game_over_text());
        const box score = changed_by(g->get_game_over_score_text());
        const box best = changed_by(g->get_game_over_best_text());
        const glm::vec2 centre =
            glm::vec2(running->get_window().get_width(), running->get_window().get_height()) /
                2.0f -
            0.5f;
        EXPECT_LE(glm::distance(over.centre(), centre), 1.5f);
        EXPECT_NEAR(score.centre().x, centre.x, 1.5f);
        EXPECT_LT(score.high.y, over.low.y);
        EXPECT_EQ(best.high.x >= 0, beats) << "NEW HIGH SCORE drawn";
        EXPECT_TRUE(!beats || best.high.y < score.low.y);
        fake_clock::ticks += 2000;
        g->frame();
        g->frame();
        ASSERT_TRUE(g->in_title());
        EXPECT_FALSE(g->shows_game_over());
        EXPECT_LT(changed_by(g->get_game_over_text()).high.x, 0) << "gone with the title";
    };
    play(2, true);
    EXPECT_EQ(g->get_game_over_score_text().get_string(), "SCORE 2");
    EXPECT_EQ(g->get_new_high_score_text().get_string(), "NEW HIGH SCORE");
    EXPECT_TRUE(g->shows_last_score() && g->shows_new_high_score());
    for (const auto& [width, height] : {std::pair{320, 240},
                                        {800, 480},
                                        {720, 720},
                                        {1280, 720},
                                        {1920, 1080},
                                        {480, 800},
                                        {2560, 1440}}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        resize(width, height);
        EXPECT_EQ(g->get_last_score_text().get_font_size(), g->get_score_text().get_font_size());
        const box card = changed_by(g->get_title_card());
        const box last = changed_by(g->get_last_score_text());
        const box best = changed_by(g->get_new_high_score_text());
        EXPECT_TRUE(last.high.y < card.low.y && best.high.y < last.low.y && best.low.y >= 0)
            << last.high.y << " " << card.low.y << " " << best.low.y;
    }

    resize(320, 240);
    play(0, false);
    EXPECT_TRUE(g->shows_last_score() && !g->shows_new_high_score());
}

// Every line of the menu by the keys, then by a controller; what changes is kept.
TEST_F(game_test, the_pause_menu_moves_and_changes_the_settings_with_the_keys_and_a_pad) {
    using item = pause_menu::item;
    restart();
    tulk::graphics::window& w = running->get_window();
    type(SDL_SCANCODE_LALT);
    type(SDL_SCANCODE_LALT);
    ASSERT_TRUE(g->is_paused());
    ASSERT_EQ(g->get_menu().get_items(),
              (std::vector{item::resume, item::music, item::effects, item::sound, item::smooth,
                           item::full_screen, item::quit}));
    const auto chosen_line = [&] {
        for (text* t : g->get_menu().get_texts()) {
            if (t->get_string().starts_with(">")) {
                return t->get_string();
            }
        }
        return std::string("none marked");
    };
    EXPECT_EQ(chosen_line(), "> RESUME <");
    // Up wraps round to the last line; a change draws one frame, after which it rests.
    for (const auto& [key, line, music, effects] :
         {std::tuple{SDL_SCANCODE_UP, "> QUIT <", 128, 128},
          {SDL_SCANCODE_DOWN, "> RESUME <", 128, 128},
          {SDL_SCANCODE_DOWN, "> MUSIC 100% <", 128, 128},
          {SDL_SCANCODE_RIGHT, "> MUSIC 100% <", 128, 128},
          {SDL_SCANCODE_LEFT, "> MUSIC 90% <", 115, 128},
          {SDL_SCANCODE_LEFT, "> MUSIC 80% <", 102, 128},
          {SDL_SCANCODE_DOWN, "> EFFECTS 100% <", 102, 128},
          {SDL_SCANCODE_LEFT, "> EFFECTS 90% <", 102, 115},
          {SDL_SCANCODE_DOWN, "> SOUND ON <", 102, 115},
          {SDL_SCANCODE_RETURN, "> SOUND OFF <", 0, 0},
          {SDL_SCANCODE_RIGHT, "> SOUND ON <", 102, 115}}) {
        type(key);
        EXPECT_EQ(chosen_line(), line) << SDL_GetScancodeName(key);
        EXPECT_EQ(std::pair(Mix_VolumeMusic(-1), Mix_Volume(0, -1)), std::pair(music, effects))
            << line;
        EXPECT_TRUE(g->is_paused() && g->at_rest()) << line;
    }
    type(SDL_SCANCODE_DOWN);
    EXPECT_EQ(chosen_line(), "> SMOOTH MOTION OFF <");
    type(SDL_SCANCODE_RETURN);
    EXPECT_EQ(chosen_line(), "> SMOOTH MOTION ON <");
    EXPECT_TRUE(g->get_smooth_motion());
    // The arrows still reach the snake's turns while they move the menu: held down over
    // the switch to full screen, Down pitches the snake once it flies again.
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_DOWN));
    step();
    EXPECT_EQ(chosen_line(), "> FULL SCREEN OFF <");
    type(SDL_SCANCODE_KP_ENTER);
    EXPECT_TRUE(w.is_fullscreen() && !w.get_input_grab());
    EXPECT_EQ(chosen_line(), "> FULL SCREEN ON <");
    type(SDL_SCANCODE_LALT);
    EXPECT_FLOAT_EQ(g->get_snake().get_pitch_rate(), 0.4f);
    EXPECT_TRUE(w.get_input_grab());
    push(key_event(SDL_KEYUP, SDL_SCANCODE_DOWN));

    // Kept for the next run, as M, minus and plus are.
    restart();
    EXPECT_EQ(std::pair(Mix_VolumeMusic(-1), Mix_Volume(0, -1)), std::pair(102, 115));
    EXPECT_EQ(g->get_settings().fullscreen, true);
    EXPECT_TRUE(g->get_smooth_motion());

    // The start key resumes from any line; Resume and Quit do as they say.
    type(SDL_SCANCODE_LALT);
    type(SDL_SCANCODE_LALT);
    type(SDL_SCANCODE_DOWN);
    type(SDL_SCANCODE_LALT);
    EXPECT_FALSE(g->is_paused());
    type(SDL_SCANCODE_LALT);
    EXPECT_EQ(chosen_line(), "> RESUME <") << "every pause begins at the top";
    type(SDL_SCANCODE_RETURN);
    EXPECT_FALSE(g->is_paused() || g->in_title());
    type(SDL_SCANCODE_RETURN);
    EXPECT_FALSE(g->is_paused()) << "Enter in play is nothing";
    type(SDL_SCANCODE_LALT);
    type(SDL_SCANCODE_UP);
    EXPECT_TRUE(type(SDL_SCANCODE_RETURN)) << "quit";

    // A controller: the d-pad moves and changes, A chooses, B resumes.
    restart();
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1"); // a new SDL forgot it
    SDL_Joystick* pad = attach_pad();
    step();
    tap(pad, {false, SDL_CONTROLLER_BUTTON_START, 1, 0});
    tap(pad, {false, SDL_CONTROLLER_BUTTON_START, 1, 0});
    ASSERT_TRUE(g->is_paused());
    tap(pad, {false, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1, 0});
    tap(pad, {false, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1, 0});
    EXPECT_EQ(chosen_line(), "> MUSIC 90% <");
    tap(pad, {false, SDL_CONTROLLER_BUTTON_DPAD_UP, 1, 0});
    tap(pad, {false, SDL_CONTROLLER_BUTTON_A, 1, 0});
    EXPECT_FALSE(g->is_paused()) << "A on Resume";
    tap(pad, {false, SDL_CONTROLLER_BUTTON_START, 1, 0});
    tap(pad, {false, SDL_CONTROLLER_BUTTON_B, 1, 0});
    EXPECT_FALSE(g->is_paused()) << "B";
}

TEST(title_hints, the_lines_name_the_first_key_in_use_or_a_controllers_buttons) {
    key_bindings keys;
    const auto keys_of = [](const std::vector<title_hints::hint>& lines) {
        std::vector<std::string> out;
        for (const auto& line : lines) {
            out.push_back(line.keys);
        }
        return out;
    };
    // The default keys read as the card always has.
    EXPECT_EQ(keys_of(title_hints::lines(keys, false)),
              (std::vector<std::string>{"LEFT ALT", "ARROWS", "RIGHT SHIFT / RIGHT CTRL",
                                        "PG UP/DN, HOME, END", "F11", "Q OR ESCAPE"}));
    keys.bind(action::start, {SDL_SCANCODE_SPACE, SDL_SCANCODE_P});
    keys.bind(action::yaw_left, {SDL_SCANCODE_A});
    keys.bind(action::double_speed, {SDL_SCANCODE_END});
    keys.bind(action::quit, {});
    const auto lines = title_hints::lines(keys, false);
    EXPECT_EQ(keys_of(lines),
              (std::vector<std::string>{"SPACE", "A / RIGHT / UP / DOWN",
                                        "RIGHT SHIFT / RIGHT CTRL", "END", "F11", "NONE"}));
    EXPECT_EQ(lines[0].does, "START / PAUSE");
    EXPECT_EQ(keys_of(title_hints::lines(keys, true)),
              (std::vector<std::string>{"A / START", "D-PAD / LEFT STICK", "SHOULDERS",
                                        "B / RIGHT TRIGGER", "F11", "BACK + START"}));
}

// Within a few pixels of where the card's picture had them at 800x480.
TEST_F(big_screen_test, the_cards_lines_follow_the_keys_in_their_old_places) {
    { std::ofstream("settings.ini") << "[controls]\nstart = Space\n"; }
    for (const bool rebound : {false, true}) {
        if (rebound) {
            restart();
        }
        resize(800, 480);
        const std::vector<text*> texts = g->get_hints().get_texts();
        EXPECT_EQ(texts[0]->get_string(), rebound ? "SPACE: " : "LEFT ALT: ");
        // The first and last lines' first letters, by the top-left corner of their strokes.
        const box first = changed_by(*texts[0]);
        const box last = changed_by(*texts[10]);
        EXPECT_LE(
            glm::distance(glm::vec2(first.from_top_left(480)), glm::vec2(rebound ? 223 : 194, 234)),
            3.0f);
        EXPECT_LE(glm::distance(glm::vec2(last.from_top_left(480)), glm::vec2(248, 379)), 3.0f);
    }
}

TEST_F(game_test, the_best_game_plays_on_an_idle_title_and_when_watched) {
    // Nothing is shown, however long the title waits, with no recording kept.
    for (int i = 0; i < 700; ++i) {
        fake_clock::ticks += frame_loop::period_ms;
        step();
    }
    EXPECT_TRUE(g->in_title());
    press(action::start);
    for (int i = 0; i < 30; ++i) {
        step();
    }
    g->get_snake().set_dead();
    const unsigned score = g->get_score();
    fake_clock::ticks += 2000;
    step();
    ASSERT_TRUE(g->in_title());
    std::string why;
    const std::optional<replay> kept = replay::read("best.replay", why);
    ASSERT_TRUE(kept) << why;
    EXPECT_EQ(kept->score, score);
    EXPECT_EQ(kept->updates, 31u);
    EXPECT_EQ(read_file("last.replay"), read_file("best.replay"));

    // 20 s with no input; a key that does nothing in the game still counts as input.
    const auto idle = [&](std::uint32_t ms) {
        for (std::uint32_t t = 0; t < ms; t += frame_loop::period_ms) {
            fake_clock::ticks += frame_loop::period_ms;
            step();
        }
    };
    idle(19000);
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_X));
    idle(19000);
    EXPECT_TRUE(g->in_title());
    idle(1100);
    EXPECT_FALSE(g->in_title());
    EXPECT_EQ(g->get_showing(), game::showing::best_run);
    EXPECT_EQ(g->get_replay_text().get_string(), "BEST RUN " + std::to_string(score));
    EXPECT_EQ(g->get_high_score(), score);
    push(key_event(SDL_KEYDOWN, SDL_SCANCODE_X));
    step();
    EXPECT_TRUE(g->in_title());
    EXPECT_EQ(g->get_showing(), game::showing::game);

    // Off in the settings, the title stays.
    settings off;
    off.attract_mode = false;
    restart(off);
    idle(25000);
    EXPECT_TRUE(g->in_title());

    restart({});
    g->watch(*kept);
    EXPECT_EQ(g->get_replay_text().get_string(), "REPLAY");
    int frames = 0;
    while (!g->in_title() && frames < 100) {
        // Steering is not the player's while watching.
        press(action::yaw_left);
        step();
        ++frames;
    }
    EXPECT_EQ(frames, 31);
    EXPECT_EQ(g->get_last_score_text().get_string(), "SCORE " + std::to_string(score));
    EXPECT_FALSE(g->replay_over());
    idle(2000);
    EXPECT_TRUE(g->replay_over());
}

#include "game/block.h"
#include "game/gamepad.h"
#include "game_fixture.h"

namespace {

// An SDL virtual joystick with every standard button and axis, which SDL maps as a game
// controller by itself.
class virtual_pad {
public:
    virtual_pad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "virtual pad";
        joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
    }
    ~virtual_pad() { SDL_JoystickClose(joystick); }
    // Buttons take 0 or 1; unset is what a released input reads.
    void set(bool is_axis, int which, int value) {
        if (is_axis) {
            SDL_JoystickSetVirtualAxis(joystick, which, static_cast<Sint16>(value));
        } else {
            SDL_JoystickSetVirtualButton(joystick, which, static_cast<Uint8>(value));
        }
    }
    void unplug() {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == SDL_JoystickInstanceID(joystick)) {
                SDL_JoystickDetachVirtual(i);
            }
        }
    }

private:
    SDL_Joystick* joystick;
};

class gamepad_test : public game_test {
protected:
    void SetUp() override {
        game_test::SetUp();
        // An offscreen window never has the keyboard focus, without which SDL drops
        // controller input.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        pads = std::make_unique<gamepad>();
        pad = std::make_unique<virtual_pad>();
        step(); // the controller arrives
        ASSERT_EQ(pads->count(), 1u);
    }
    bool step() { return game_test::step(pads.get()); }
    void tap(virtual_pad& p, int button) {
        p.set(false, button, 1);
        step();
        p.set(false, button, 0);
        step();
    }
    float yaw() const { return g->get_snake().get_yaw_rate(); }

    std::unique_ptr<gamepad> pads;
    std::unique_ptr<virtual_pad> pad;
};

struct input {
    bool is_axis;
    int which;
    int value;
};

} // namespace

TEST_F(gamepad_test, every_input_does_what_its_key_does) {
    tap(*pad, SDL_CONTROLLER_BUTTON_A);
    ASSERT_FALSE(g->in_title());
    EXPECT_FALSE(g->is_paused());
    snake& s = g->get_snake();
    // Held for one update, a turn input adds 0.4 degrees to its rate; let go, the rate halves.
    const struct {
        input in;
        float (snake::*rate)() const;
        float sign;
    } turns[] = {
        {{false, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1}, &snake::get_yaw_rate, 1.0f},
        {{false, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1}, &snake::get_yaw_rate, -1.0f},
        {{false, SDL_CONTROLLER_BUTTON_DPAD_UP, 1}, &snake::get_pitch_rate, -1.0f},
        {{false, SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1}, &snake::get_pitch_rate, 1.0f},
        {{false, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1}, &snake::get_roll_rate, -1.0f},
        {{false, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1}, &snake::get_roll_rate, 1.0f},
        {{true, SDL_CONTROLLER_AXIS_LEFTX, -32768}, &snake::get_yaw_rate, 1.0f},
        {{true, SDL_CONTROLLER_AXIS_LEFTX, 32767}, &snake::get_yaw_rate, -1.0f},
        {{true, SDL_CONTROLLER_AXIS_LEFTY, -32768}, &snake::get_pitch_rate, -1.0f},
        {{true, SDL_CONTROLLER_AXIS_LEFTY, 32767}, &snake::get_pitch_rate, 1.0f},
    };
    for (const auto& [in, rate, sign] : turns) {
        s.reset(g->get_play_scene());
        pad->set(in.is_axis, in.which, in.value);
        step();
        EXPECT_FLOAT_EQ((s.*rate)(), 0.4f * sign) << in.which;
        pad->set(in.is_axis, in.which, 0);
        step();
        EXPECT_FLOAT_EQ((s.*rate)(), 0.2f * sign) << in.which;
    }
    // B and the right trigger double the speed while held.
    for (const input in : {input{false, SDL_CONTROLLER_BUTTON_B, 1},
                           input{true, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767}}) {
        // A virtual trigger rests at the bottom of the raw range.
        for (const int value : {in.value, in.is_axis ? -32768 : 0}) {
            const float length = value == in.value ? 0.8f : 0.4f;
            pad->set(in.is_axis, in.which, value);
            const glm::vec3 head = s.get_head()->pos;
            step();
            EXPECT_FLOAT_EQ(glm::length(s.get_head()->pos - head), length) << in.which;
        }
    }
}

TEST_F(gamepad_test, a_stick_is_held_past_half_its_travel_and_let_go_below_a_third) {
    tap(*pad, SDL_CONTROLLER_BUTTON_START);
    ASSERT_FALSE(g->in_title());
    const struct {
        int value;
        float yaw;
    } moves[] = {{12000, 0.0f},  {20000, -0.4f},  {12000, -0.8f},
                 {10000, -0.4f}, {-12000, -0.2f}, {-20000, 0.2f}};
    for (const auto [value, rate] : moves) {
        pad->set(true, SDL_CONTROLLER_AXIS_LEFTX, value);
        step();
        EXPECT_FLOAT_EQ(yaw(), rate) << value;
    }
}

TEST_F(gamepad_test, two_work_together_one_unplugged_pauses_and_back_with_start_quits) {
    virtual_pad second;
    step();
    EXPECT_EQ(pads->count(), 2u);
    tap(second, SDL_CONTROLLER_BUTTON_A);
    ASSERT_FALSE(g->in_title());
    pad->set(false, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    step();
    EXPECT_FLOAT_EQ(yaw(), 0.4f);

    // Unplugged, the first pad pauses the game and lets go of its turn.
    pad->unplug();
    step();
    EXPECT_EQ(pads->count(), 1u);
    EXPECT_TRUE(g->is_paused());
    tap(second, SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(g->is_paused());
    EXPECT_FLOAT_EQ(yaw(), 0.1f);

    // Start with Back held is no pause.
    second.set(false, SDL_CONTROLLER_BUTTON_BACK, 1);
    second.set(false, SDL_CONTROLLER_BUTTON_START, 1);
    EXPECT_TRUE(step());
    EXPECT_FALSE(g->is_paused());
}

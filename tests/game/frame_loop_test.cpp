#include "game/frame_loop.h"
#include "game/key_bindings.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

TEST(frame_loop, delay_fills_the_rest_of_the_period_and_held_q_or_escape_quits) {
    EXPECT_EQ(frame_loop::delay_after(1000, 1010), 22u);
    EXPECT_EQ(frame_loop::delay_after(1000, 1040), 0u); // a 40 ms frame: no wrapped delay
    EXPECT_EQ(frame_loop::delay_after(0xFFFFFFF0u, 0x00000005u), 11u);
    EXPECT_EQ(frame_loop::delay_after(0xFFFFFFF0u, 0x00000020u), 0u);

    // The game test covers a close and a press of either key; this is the held case.
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    for (const SDL_Scancode held : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_Q}) {
        Uint8 keys[SDL_NUM_SCANCODES] = {};
        keys[held] = 1;
        EXPECT_TRUE(frame_loop::is_quit(event, keys, key_bindings())) << held;
    }
}

TEST(frame_loop, the_full_screen_key_or_enter_with_either_alt_switches_once_a_press) {
    key_bindings keys;
    const auto press = [&keys](SDL_Scancode key, Uint16 mod, bool repeat = false,
                               Uint32 type = SDL_KEYDOWN) {
        return frame_loop::is_display_switch(key_event(type, key, mod, repeat), keys);
    };
    EXPECT_TRUE(press(SDL_SCANCODE_F11, KMOD_NONE) && press(SDL_SCANCODE_RETURN, KMOD_RALT) &&
                press(SDL_SCANCODE_KP_ENTER, KMOD_LALT));
    // Enter alone, a held key (repeated) or a release would switch back and forth.
    EXPECT_FALSE(press(SDL_SCANCODE_RETURN, KMOD_NONE) ||
                 press(SDL_SCANCODE_F11, KMOD_NONE, true) ||
                 press(SDL_SCANCODE_RETURN, KMOD_RALT, false, SDL_KEYUP));
    keys.bind(action::fullscreen, {SDL_SCANCODE_F});
    EXPECT_TRUE(press(SDL_SCANCODE_F, KMOD_NONE) && !press(SDL_SCANCODE_F11, KMOD_NONE));
}

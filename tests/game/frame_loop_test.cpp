#include "game/frame_loop.h"
#include "game/key_bindings.h"

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

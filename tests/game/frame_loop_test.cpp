#include "game/frame_loop.h"

#include <gtest/gtest.h>

TEST(frame_loop, delay_fills_the_rest_of_the_period_also_across_a_wrap) {
    EXPECT_EQ(frame_loop::delay_after(1000, 1010), 22u);
    EXPECT_EQ(frame_loop::delay_after(1000, 1040), 0u); // a 40 ms frame: no wrapped delay
    EXPECT_EQ(frame_loop::delay_after(0xFFFFFFF0u, 0x00000005u), 11u);
    EXPECT_EQ(frame_loop::delay_after(0xFFFFFFF0u, 0x00000020u), 0u);
}

TEST(frame_loop, quit_is_a_window_close_or_any_event_while_q_or_escape_is_held) {
    Uint8 keys[SDL_NUM_SCANCODES] = {};
    SDL_Event event{};
    event.type = SDL_QUIT;
    EXPECT_TRUE(frame_loop::is_quit(event, keys));
    event.type = SDL_KEYDOWN;
    EXPECT_FALSE(frame_loop::is_quit(event, keys));
    keys[SDL_SCANCODE_ESCAPE] = 1;
    EXPECT_TRUE(frame_loop::is_quit(event, keys));
    keys[SDL_SCANCODE_ESCAPE] = 0;
    keys[SDL_SCANCODE_Q] = 1;
    event.type = SDL_WINDOWEVENT;
    EXPECT_TRUE(frame_loop::is_quit(event, keys));
}

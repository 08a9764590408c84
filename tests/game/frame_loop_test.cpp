#include "game/frame_loop.h"

#include <gtest/gtest.h>

namespace {

SDL_Event event_of_type(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    return event;
}

} // namespace

TEST(frame_loop, delay_fills_the_rest_of_the_period) {
    EXPECT_EQ(frame_loop::delay_after(1000, 1000), 32u);
    EXPECT_EQ(frame_loop::delay_after(1000, 1010), 22u);
    EXPECT_EQ(frame_loop::delay_after(1000, 1032), 0u);
    EXPECT_EQ(frame_loop::delay_after(1000, 1040), 0u); // a 40 ms frame: no wrapped delay
    // The tick counter wraps between start and now.
    EXPECT_EQ(frame_loop::delay_after(0xFFFFFFF0u, 0x00000005u), 11u);
    EXPECT_EQ(frame_loop::delay_after(0xFFFFFFF0u, 0x00000020u), 0u);
}

TEST(frame_loop, quit_rule) {
    Uint8 keys[SDL_NUM_SCANCODES] = {};
    EXPECT_TRUE(frame_loop::is_quit(event_of_type(SDL_QUIT), keys));
    EXPECT_FALSE(frame_loop::is_quit(event_of_type(SDL_MOUSEMOTION), keys));
    EXPECT_FALSE(frame_loop::is_quit(event_of_type(SDL_KEYDOWN), keys));
    keys[SDL_SCANCODE_ESCAPE] = 1;
    EXPECT_TRUE(frame_loop::is_quit(event_of_type(SDL_MOUSEMOTION), keys));
    EXPECT_TRUE(frame_loop::is_quit(event_of_type(SDL_KEYUP), keys));
    keys[SDL_SCANCODE_ESCAPE] = 0;
    keys[SDL_SCANCODE_Q] = 1;
    EXPECT_TRUE(frame_loop::is_quit(event_of_type(SDL_WINDOWEVENT), keys));
}

#pragma once

#include "engine/graphics/window.h"

#include <SDL2/SDL.h>
#include <cstdint>

class game;

// The fixed-period frame loop: events, the game's frame, swap and pacing.
class frame_loop {
public:
    static constexpr std::uint32_t period_ms = 32;

    // A window close, or any event while Q or Escape is held down.
    static bool is_quit(const SDL_Event& event, const Uint8* keys);

    // Milliseconds left of the frame that began at `frame_start`; 0 once the frame ran
    // over, also when the tick counter has wrapped in between.
    static std::uint32_t delay_after(std::uint32_t frame_start, std::uint32_t now);

    // Drains the event queue into the game, then runs its frame and swaps. Returns
    // whether a quit was requested; the frame still runs in full when one was.
    static bool step(const tulk::graphics::window& window, game& g);

    // Runs paced frames until a quit is requested.
    static void run(const tulk::graphics::window& window, game& g);
};

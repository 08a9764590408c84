#pragma once

#include "engine/graphics/window.h"

#include <SDL2/SDL.h>
#include <cstdint>

class game;
class gamepad;
class key_bindings;

// The fixed-period frame loop: events, the game's frame, swap and pacing.
class frame_loop {
public:
    static constexpr std::uint32_t period_ms = 32;

    // A window close, a press of a quit key (Q or Escape unless rebound), or any event
    // while one is held down. The press itself counts: its release may already be in the
    // keyboard state when the event is handled.
    static bool is_quit(const SDL_Event& event, const Uint8* keyboard, const key_bindings& keys);

    // Milliseconds left of the frame that began at `frame_start`; 0 once the frame ran
    // over, also when the tick counter has wrapped in between.
    static std::uint32_t delay_after(std::uint32_t frame_start, std::uint32_t now);

    // A press of a full-screen key (F11 unless rebound), or of Enter with either Alt held.
    // A left Alt pressed for it has already done what left Alt does in the game.
    static bool is_display_switch(const SDL_Event& event, const key_bindings& keys);

    // Drains the event queue into the game (keys, Enter for the pause menu, the window's
    // focus and, given `pads`, the controllers), does what the game or a key asks (a quit,
    // switching between full screen and a window), fits the game to a new drawable size,
    // grabs the input only while a full-screen game is in play and hides the pointer in
    // play, then runs its frame (the update only when `update`) and swaps. Returns whether
    // a quit was requested (or a watched replay is over); the frame still runs in full
    // when one was.
    static bool step(tulk::graphics::window& window, game& g, gamepad* pads = nullptr,
                     bool update = true);

    // Runs paced frames, with every controller, until a quit is requested: one a period,
    // or with smooth motion as many as the display shows, the world updating once a period
    // among them. While the game rests (paused with nothing moving) or the window is hidden
    // or minimised, a frame is drawn only when an event comes; between events the loop
    // sleeps.
    static void run(tulk::graphics::window& window, game& g);

    // For SIGTSTP (Ctrl+Z): the next frame pauses the game, shows it paused, and only then
    // stops the process.
    static void on_terminal_stop(int);
};

#pragma once

#include "engine/graphics/window.h"

#include <SDL2/SDL.h>

// The game's long-lived objects and its per-frame work. Construct it after tulk::init;
// tear it down in two halves around tulk::destroy, before the window goes.
class game {
public:
    explicit game(const tulk::graphics::window& window);

    // A key press or release from the event drain.
    void handle_key(const SDL_Event& event);

    // One frame's game work, without the swap and the pacing.
    void frame();

    // Before tulk::destroy.
    void teardown_first();
    // After tulk::destroy, while the GL context still exists.
    void teardown_second();

private:
    int width;
    int height;
};

#pragma once

#include "engine/graphics/window.h"
#include "game/game.h"
#include "game/window_options.h"

#include <functional>
#include <memory>
#include <string>

// The game from start to end in the one order that works: the window (and its GL context)
// first, then the engine, then the game; at the end the same backwards, the window last. The
// program, the benchmark and the tests all start the game through this.
class session {
public:
    using window_options = ::window_options;

    // The start-up steps, each reported once it is done.
    enum class step { window, engine, game };

    // `after_step`, when given, runs after each step: a place to install what must follow
    // the window, reseed after the engine, or measure. The game plays with `prefs`.
    explicit session(const window_options& options,
                     const std::function<void(step)>& after_step = nullptr, settings prefs = {});
    // The game's own window.
    session();
    ~session();

    session(const session&) = delete;
    session& operator=(const session&) = delete;

    tulk::graphics::window& get_window() { return win; }
    game& get_game() { return *played; }

private:
    tulk::graphics::window win;
    std::unique_ptr<game> played;
};

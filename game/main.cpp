#include "engine/graphics/engine.h"
#include "engine/graphics/window.h"
#include "game/command_line.h"
#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/game.h"

#include <csignal>

int main(int argc, char** argv) {
    command_line options;
    if (const auto status = command_line::parse(argc, argv, options, stdout, stderr)) {
        return *status;
    }
    const bool fullscreen = options.fullscreen.value_or(true);
    const command_line::size size = options.window_size.value_or(command_line::size{
        command_line::default_window_width, command_line::default_window_height});
    // Before the window: without its data the game has nothing to show.
    if (!data_location::settle()) {
        return 1;
    }
    // The window is made first and destroyed last: every GL object needs its context.
    tulk::graphics::window window("Ardlow", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  size.width, size.height, fullscreen, fullscreen);
    // A message to a reader that went away is no reason to lose the game.
    std::signal(SIGPIPE, SIG_IGN);
    // A closed terminal ends the game as SIGTERM does, through SDL's quit and the save;
    // SDL installed its SIGTERM handler with the window.
    std::signal(SIGHUP, [](int) { std::raise(SIGTERM); });
    tulk::init();
    {
        game ardlow(window);
        frame_loop::run(window, ardlow);
        ardlow.teardown_first();
        tulk::destroy();
        ardlow.teardown_second();
    }
    return 0;
}

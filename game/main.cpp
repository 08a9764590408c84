#include "engine/graphics/engine.h"
#include "engine/graphics/window.h"
#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/process_setup.h"

#include <csignal>

int main(int, char**) {
    process_setup::harden();
    // Before the window: without its data the game has nothing to show.
    if (!data_location::settle()) {
        return 1;
    }
    // The window is made first and destroyed last: every GL object needs its context.
    tulk::graphics::window window("Ardlow", 0, 0, 400, 400, true, true);
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

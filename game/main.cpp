#include "engine/graphics/engine.h"
#include "engine/graphics/window.h"
#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/settings.h"

#include <csignal>

int main(int, char**) {
    // Before the window: without its data the game has nothing to show.
    if (!data_location::settle()) {
        return 1;
    }
    settings prefs(data_location::settings_file());
    // The window is made first and destroyed last: every GL object needs its context.
    tulk::graphics::window window("Ardlow", 0, 0, 400, 400, true, true);
    // A message to a reader that went away is no reason to lose the game.
    std::signal(SIGPIPE, SIG_IGN);
    // A closed terminal ends the game as SIGTERM does, through SDL's quit and the save;
    // SDL installed its SIGTERM handler with the window.
    std::signal(SIGHUP, [](int) { std::raise(SIGTERM); });
    tulk::init();
    {
        game ardlow(window, std::move(prefs));
        frame_loop::run(window, ardlow);
        ardlow.teardown_first();
        tulk::destroy();
        ardlow.teardown_second();
    }
    return 0;
}

#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/session.h"

#include <csignal>

int main(int, char**) {
    // Before the window: without its data the game has nothing to show.
    if (!data_location::settle()) {
        return 1;
    }
    // A message to a reader that went away is no reason to lose the game.
    std::signal(SIGPIPE, SIG_IGN);
    // A closed terminal ends the game as SIGTERM does, through SDL's quit and the save;
    // SDL installs its SIGTERM handler with the window, before any game is running.
    std::signal(SIGHUP, [](int) { std::raise(SIGTERM); });
    session ardlow;
    frame_loop::run(ardlow.get_window(), ardlow.get_game());
    return 0;
}

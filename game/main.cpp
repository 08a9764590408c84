#include "engine/graphics/engine.h"
#include "engine/graphics/window.h"
#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/game.h"

int main(int, char**) {
    // Before the window: without its data the game has nothing to show.
    if (!data_location::settle()) {
        return 1;
    }
    // The window is made first and destroyed last: every GL object needs its context.
    tulk::graphics::window window("Ardlow", 0, 0, 400, 400, true, true);
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

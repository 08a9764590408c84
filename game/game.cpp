#include "game/game.h"

game::game(const tulk::graphics::window& window)
    : width(window.get_width()), height(window.get_height()) {}

void game::handle_key(const SDL_Event& event) {
    (void)event;
}

void game::frame() {}

void game::teardown_first() {}

void game::teardown_second() {}

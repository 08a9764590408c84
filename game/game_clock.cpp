#include "game/game_clock.h"

#include <SDL2/SDL.h>

game_clock::source game_clock::sSource = nullptr;

std::uint32_t game_clock::now() {
    return sSource ? sSource() : SDL_GetTicks();
}

void game_clock::set_source(source s) {
    sSource = s;
}

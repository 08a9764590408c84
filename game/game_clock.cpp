#include "game/game_clock.h"

#include <SDL2/SDL.h>
#include <ctime>

game_clock::source game_clock::sSource = nullptr;

std::uint32_t game_clock::now() {
    return sSource ? sSource() : SDL_GetTicks();
}

namespace {

std::uint32_t milliseconds(clockid_t id) {
    timespec t{};
    clock_gettime(id, &t);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(t.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(t.tv_nsec) / 1000000u);
}

} // namespace

std::uint32_t game_clock::with_suspend() {
    return sSource ? sSource() : milliseconds(CLOCK_BOOTTIME);
}

std::uint32_t game_clock::processor() {
    return milliseconds(CLOCK_PROCESS_CPUTIME_ID);
}

void game_clock::set_source(source s) {
    sSource = s;
}

#include "game/frame_pacer.h"

#include <thread>

bool frame_pacer::update_due(std::uint32_t now, std::uint32_t slack) {
    const auto late = due ? static_cast<std::int32_t>(now - *due) : std::int32_t{0};
    if (due && late < 0) {
        return false;
    }
    due = (due && late <= static_cast<std::int32_t>(slack) ? *due : now) + period;
    return true;
}

frame_pacer::clock::duration frame_pacer::refresh_interval(SDL_Window* window) {
    SDL_DisplayMode mode{};
    const int index = window != nullptr ? SDL_GetWindowDisplayIndex(window) : 0;
    const int hz =
        index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0
            ? mode.refresh_rate
            : 60;
    return std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(1.0 / hz));
}

void frame_pacer::wait_for_display(bool on) {
    if (on == own_interval.has_value()) {
        return;
    }
    if (on) {
        own_interval = SDL_GL_GetSwapInterval();
        if (SDL_GL_SetSwapInterval(-1) != 0) {
            SDL_GL_SetSwapInterval(1);
        }
    } else {
        SDL_GL_SetSwapInterval(*own_interval);
        own_interval.reset();
    }
}

void frame_pacer::sleep_after(clock::time_point start, clock::duration interval) {
    if (clock::now() - start < interval * 3 / 4) {
        std::this_thread::sleep_until(start + interval);
    }
}

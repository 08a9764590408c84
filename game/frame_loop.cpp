#include "game/frame_loop.h"

#include "game/game.h"

bool frame_loop::is_quit(const SDL_Event& event, const Uint8* keys) {
    if (event.type == SDL_QUIT) {
        return true;
    }
    return keys[SDL_SCANCODE_Q] || keys[SDL_SCANCODE_ESCAPE];
}

std::uint32_t frame_loop::delay_after(std::uint32_t frame_start, std::uint32_t now) {
    const auto left = static_cast<std::int32_t>(frame_start + period_ms - now);
    return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

bool frame_loop::step(const tulk::graphics::window& window, game& g) {
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            quit = true;
            continue;
        }
        if (is_quit(event, SDL_GetKeyboardState(nullptr))) {
            quit = true;
        }
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
            g.handle_key(event);
        }
    }
    g.frame();
    window.swap();
    return quit;
}

void frame_loop::run(const tulk::graphics::window& window, game& g) {
    bool quit = false;
    while (!quit) {
        const std::uint32_t frame_start = SDL_GetTicks();
        quit = step(window, g);
        SDL_Delay(delay_after(frame_start, SDL_GetTicks()));
    }
}

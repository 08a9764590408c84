#include "game/frame_loop.h"

#include "game/frame_pacer.h"
#include "game/game.h"
#include "game/gamepad.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t stop_requested = 0;

// Stops the process as SIGTSTP would have. SIGSTOP, because the kernel drops a SIGTSTP
// whose default action would stop a process group with no parent to resume it (a game
// started by a launcher or a service), and the player asked for the stop.
void stop_now() {
    std::raise(SIGSTOP);
}

bool resting(const tulk::graphics::window& window, const game& g) {
    const Uint32 flags = SDL_GetWindowFlags(window.get_sdl_window());
    return (flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0 || g.at_rest();
}

// Whether an event waits. SDL_WaitEventTimeout would block only with a shown window, no
// joystick and a video driver that can wait; otherwise it looks every millisecond. A look
// every frame period answers as fast as a running game and costs next to nothing.
bool event_waiting() {
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
}

// The pointer is the player's to use elsewhere except while a game is played full screen;
// in play it is hidden, anywhere else it shows.
void fit_pointer(tulk::graphics::window& window, const game& g) {
    const bool playing = g.get_state() == game::state::playing;
    const bool grab = window.is_fullscreen() && playing;
    if (grab != window.get_input_grab()) {
        window.set_input_grab(grab);
    }
    const int shown = playing ? SDL_DISABLE : SDL_ENABLE;
    if (SDL_ShowCursor(SDL_QUERY) != shown) {
        SDL_ShowCursor(shown);
    }
}

bool is_enter(SDL_Scancode key) {
    return key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER;
}

} // namespace

void frame_loop::on_terminal_stop(int) {
    stop_requested = 1;
}

bool frame_loop::is_quit(const SDL_Event& event, const Uint8* keyboard, const key_bindings& keys) {
    if (event.type == SDL_QUIT) {
        return true;
    }
    if (event.type == SDL_KEYDOWN && keys.action_of(event.key.keysym.scancode) == action::quit) {
        return true;
    }
    return keys.held(action::quit, keyboard);
}

std::uint32_t frame_loop::delay_after(std::uint32_t frame_start, std::uint32_t now) {
    const auto left = static_cast<std::int32_t>(frame_start + period_ms - now);
    return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

bool frame_loop::is_display_switch(const SDL_Event& event, const key_bindings& keys) {
    if (event.type != SDL_KEYDOWN || event.key.repeat != 0) {
        return false;
    }
    const SDL_Scancode key = event.key.keysym.scancode;
    return keys.action_of(key) == action::fullscreen ||
           (is_enter(key) && (event.key.keysym.mod & KMOD_ALT) != 0);
}

bool frame_loop::step(tulk::graphics::window& window, game& g, gamepad* pads, bool update) {
    if (stop_requested) {
        stop_requested = 0;
        g.pause();
        g.frame();
        window.swap();
        stop_now();
    }
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (is_quit(event, SDL_GetKeyboardState(nullptr), g.get_keys())) {
            quit = true;
        }
        switch (event.type) {
        case SDL_QUIT:
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
                g.noticed_input();
            }
            if (is_display_switch(event, g.get_keys())) {
                window.set_fullscreen(!window.is_fullscreen());
            } else if (const auto a = g.get_keys().action_of(event.key.keysym.scancode)) {
                // A held M would flip the sound on and off at the key's repeat rate.
                if (!(event.key.repeat != 0 && *a == action::mute)) {
                    g.act(*a, event.type == SDL_KEYDOWN);
                }
            } else if (event.type == SDL_KEYDOWN && is_enter(event.key.keysym.scancode)) {
                g.menu_key(pause_menu::key::choose);
            }
            break;
        case SDL_WINDOWEVENT:
            // Nobody is watching: stop the world. SDL reports no more controller input
            // without focus, so what they hold is let go of now.
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                event.window.event == SDL_WINDOWEVENT_MINIMIZED) {
                if (pads != nullptr) {
                    pads->release_all(g);
                }
                g.pause();
            }
            break;
        default:
            if (event.type == SDL_CONTROLLERBUTTONDOWN || event.type == SDL_JOYBUTTONDOWN) {
                g.noticed_input();
            }
            if (pads != nullptr && pads->handle(event, g)) {
                quit = true;
            }
            break;
        }
    }
    if (pads != nullptr) {
        g.set_pad_connected(pads->count() > 0);
    }
    if (const auto asked = g.take_request()) {
        if (*asked == game::request::quit) {
            quit = true;
        } else {
            window.set_fullscreen(!window.is_fullscreen());
        }
    }
    // Once a frame, however many resize events came: with shadows on, a fit resizes the
    // shadow map and rebuilds every shader program.
    if (window.update_size()) {
        g.set_screen_size(window.get_width(), window.get_height());
    }
    fit_pointer(window, g);
    if (update) {
        g.update();
    }
    g.draw();
    window.swap();
    return quit || g.replay_over();
}

void frame_loop::run(tulk::graphics::window& window, game& g) {
    gamepad pads;
    frame_pacer pacer(period_ms);
    bool quit = false;
    while (!quit) {
        const std::uint32_t frame_start = SDL_GetTicks();
        const auto started = frame_pacer::clock::now();
        const bool smooth = g.get_smooth_motion();
        pacer.wait_for_display(smooth);
        // Nothing would change on screen: draw nothing until something happens.
        if (resting(window, g) && !event_waiting() && !stop_requested) {
            SDL_Delay(period_ms);
            continue;
        }
        if (!smooth) {
            quit = step(window, g, &pads);
            SDL_Delay(delay_after(frame_start, SDL_GetTicks()));
            continue;
        }
        const auto interval = frame_pacer::refresh_interval(window.get_sdl_window());
        // An update that waited for the display's refresh keeps the schedule.
        const auto slack = static_cast<std::uint32_t>(
            std::chrono::ceil<std::chrono::milliseconds>(interval).count());
        quit = step(window, g, &pads, pacer.update_due(frame_start, slack));
        frame_pacer::sleep_after(started, interval);
    }
}

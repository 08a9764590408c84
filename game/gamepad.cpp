#include "game/gamepad.h"

#include "game/data_files.h"
#include "game/game.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// The action a button asks for, if any.
std::optional<action> action_of(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return action::yaw_left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return action::yaw_right;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return action::pitch_down;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return action::pitch_up;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        return action::roll_left;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        return action::roll_right;
    case SDL_CONTROLLER_BUTTON_B:
        return action::double_speed;
    case SDL_CONTROLLER_BUTTON_A:
    case SDL_CONTROLLER_BUTTON_START:
        return action::start;
    default:
        return std::nullopt;
    }
}

void send(game& g, std::optional<action> a, bool down) {
    if (a) {
        g.act(*a, down);
    }
}

// Where an axis value puts a held direction (-1, 0 or 1), with the hysteresis.
int direction(int held, int value) {
    if (value >= gamepad::press_travel) {
        return 1;
    }
    if (value <= -gamepad::press_travel) {
        return -1;
    }
    if ((held > 0 && value < gamepad::release_travel) ||
        (held < 0 && value > -gamepad::release_travel)) {
        return 0;
    }
    return held;
}

// Moves a held direction, letting go of the old action before pressing the new one.
void steer(int& held, int value, std::optional<action> negative, std::optional<action> positive,
           game& g) {
    const int now = direction(held, value);
    if (now == held) {
        return;
    }
    if (held != 0) {
        send(g, held < 0 ? negative : positive, false);
    }
    if (now != 0) {
        send(g, now < 0 ? negative : positive, true);
    }
    held = now;
}

} // namespace

gamepad::gamepad() {
    // The window starts the subsystem, but not where a sound or haptics failure made it
    // fall back to video alone. Controllers present now arrive as events.
    started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // Pads SDL does not know can be mapped in the data folder (a port brings mappings for
    // the handhelds it is made for). A handheld's own controls were there before: SDL told
    // of them when they were no controllers yet, so they are opened here.
    const char* const mappings = data_files::controller_mappings;
    if (SDL_RWops* file = started ? SDL_RWFromFile(mappings, "rb") : nullptr) {
        if (SDL_GameControllerAddMappingsFromRW(file, 1) < 0) {
            std::printf("%s: %s\n", mappings, SDL_GetError());
        }
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_IsGameController(i)) {
                add(i);
            }
        }
    }
}

gamepad::~gamepad() {
    // Once SDL has shut down, it has closed the controllers itself.
    if (!started || SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) {
        return;
    }
    for (pad& p : pads) {
        SDL_GameControllerClose(p.controller);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool gamepad::handle(const SDL_Event& event, game& g) {
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        add(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        remove(event.cdevice.which, g);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (pad* p = find(event.cbutton.which)) {
            return button(*p, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN, g);
        }
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (pad* p = find(event.caxis.which)) {
            axis(*p, event.caxis.axis, event.caxis.value, g);
        }
        break;
    default:
        break;
    }
    return false;
}

void gamepad::release_all(game& g) {
    for (pad& p : pads) {
        release(p, g);
    }
}

void gamepad::add(int device_index) {
    // A device SDL reports twice, or cannot open, is left alone and quietly.
    if (!started || find(SDL_JoystickGetDeviceInstanceID(device_index)) != nullptr) {
        return;
    }
    SDL_GameController* controller = SDL_GameControllerOpen(device_index);
    if (controller != nullptr) {
        pads.push_back(
            pad{controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))});
    }
}

void gamepad::remove(SDL_JoystickID id, game& g) {
    const auto it =
        std::find_if(pads.begin(), pads.end(), [id](const pad& p) { return p.id == id; });
    if (it == pads.end()) {
        return;
    }
    release(*it, g);
    SDL_GameControllerClose(it->controller);
    pads.erase(it);
    g.pause();
}

gamepad::pad* gamepad::find(SDL_JoystickID id) {
    const auto it =
        std::find_if(pads.begin(), pads.end(), [id](const pad& p) { return p.id == id; });
    return it == pads.end() ? nullptr : &*it;
}

bool gamepad::button(pad& p, int b, bool down, game& g) {
    if (b < 0 || b >= SDL_CONTROLLER_BUTTON_MAX) {
        return false;
    }
    p.buttons[b] = down;
    // Back and Start together quit; Start then is no left Alt.
    if (down && p.buttons[SDL_CONTROLLER_BUTTON_BACK] && p.buttons[SDL_CONTROLLER_BUTTON_START]) {
        return true;
    }
    // Paused, A chooses the marked line of the menu and B resumes, as Enter and the start
    // key do; their releases still go out, so that nothing stays held.
    if (down && g.is_paused() && (b == SDL_CONTROLLER_BUTTON_A || b == SDL_CONTROLLER_BUTTON_B)) {
        if (b == SDL_CONTROLLER_BUTTON_A) {
            g.menu_key(pause_menu::key::choose);
        } else {
            g.act(action::start, true);
        }
        return false;
    }
    send(g, action_of(b), down);
    return false;
}

void gamepad::axis(pad& p, int a, int value, game& g) {
    switch (a) {
    case SDL_CONTROLLER_AXIS_LEFTX:
        steer(p.stick_x, value, action::yaw_left, action::yaw_right, g);
        break;
    case SDL_CONTROLLER_AXIS_LEFTY:
        steer(p.stick_y, value, action::pitch_down, action::pitch_up, g);
        break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
        // A trigger never reads below zero.
        steer(p.trigger, value, std::nullopt, action::double_speed, g);
        break;
    default:
        break;
    }
}

void gamepad::release(pad& p, game& g) {
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
        if (p.buttons[b]) {
            send(g, action_of(b), false);
            p.buttons[b] = false;
        }
    }
    steer(p.stick_x, 0, action::yaw_left, action::yaw_right, g);
    steer(p.stick_y, 0, action::pitch_down, action::pitch_up, g);
    steer(p.trigger, 0, std::nullopt, action::double_speed, g);
}

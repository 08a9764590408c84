#pragma once

#include "game/action.h"

#include <SDL2/SDL.h>
#include <array>
#include <optional>
#include <string>
#include <vector>

// Which keyboard keys ask for which action. Keys are taken by their place on the keyboard
// (scancodes), as the default keys are; each key asks for one action at most.
class key_bindings {
public:
    // The default keys: the arrows yaw and pitch (Up dives), right Shift and right Ctrl
    // roll, Page Up, Page Down, Home and End double the speed, left Alt starts and pauses,
    // Q and Escape quit, M mutes, minus and plus (also the keypad's) change the volume and
    // F11 switches full screen.
    key_bindings();

    std::optional<action> action_of(SDL_Scancode key) const;
    const std::vector<SDL_Scancode>& keys_of(action a) const { return keys[index(a)]; }

    // Gives `a` these keys in place of its own; a key another action had is taken from it.
    void bind(action a, const std::vector<SDL_Scancode>& new_keys);

    // Whether any key of `a` is down in `keyboard` (SDL_GetKeyboardState).
    bool held(action a, const Uint8* keyboard) const;

    // A key by its name ("Left Alt", "P", "Keypad +"), case ignored; SDL_SCANCODE_UNKNOWN
    // for none.
    static SDL_Scancode key_named(const std::string& name);
    // The name key_named() takes back to this same key, whenever it is asked: SDL's name,
    // except where SDL renames a key once video starts; empty for a key with no name.
    static std::string name_of(SDL_Scancode key);

private:
    static int index(action a) { return static_cast<int>(a); }

    std::array<std::vector<SDL_Scancode>, action_count> keys;
};

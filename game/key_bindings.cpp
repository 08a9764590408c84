#include "game/key_bindings.h"

#include <algorithm>
#include <cctype>
#include <map>

key_bindings::key_bindings() {
    const auto set = [this](action a, std::vector<SDL_Scancode> k) { keys[index(a)] = k; };
    set(action::start, {SDL_SCANCODE_LALT});
    set(action::yaw_left, {SDL_SCANCODE_LEFT});
    set(action::yaw_right, {SDL_SCANCODE_RIGHT});
    set(action::pitch_up, {SDL_SCANCODE_DOWN});
    set(action::pitch_down, {SDL_SCANCODE_UP});
    set(action::roll_left, {SDL_SCANCODE_RSHIFT});
    set(action::roll_right, {SDL_SCANCODE_RCTRL});
    set(action::double_speed,
        {SDL_SCANCODE_PAGEUP, SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_HOME, SDL_SCANCODE_END});
    set(action::quit, {SDL_SCANCODE_Q, SDL_SCANCODE_ESCAPE});
    set(action::mute, {SDL_SCANCODE_M});
    set(action::volume_down, {SDL_SCANCODE_MINUS, SDL_SCANCODE_KP_MINUS});
    set(action::volume_up, {SDL_SCANCODE_EQUALS, SDL_SCANCODE_KP_PLUS});
    set(action::fullscreen, {SDL_SCANCODE_F11});
}

std::optional<action> key_bindings::action_of(SDL_Scancode key) const {
    for (int i = 0; i < action_count; ++i) {
        if (std::find(keys[i].begin(), keys[i].end(), key) != keys[i].end()) {
            return static_cast<action>(i);
        }
    }
    return std::nullopt;
}

void key_bindings::bind(action a, const std::vector<SDL_Scancode>& new_keys) {
    for (auto& others : keys) {
        std::erase_if(others, [&new_keys](SDL_Scancode k) {
            return std::find(new_keys.begin(), new_keys.end(), k) != new_keys.end();
        });
    }
    keys[index(a)] = new_keys;
}

bool key_bindings::held(action a, const Uint8* keyboard) const {
    const auto& k = keys[index(a)];
    return std::any_of(k.begin(), k.end(), [keyboard](SDL_Scancode s) { return keyboard[s] != 0; });
}

std::string key_bindings::name_of(SDL_Scancode key) {
    // X11 and Wayland rename Application to "Menu" as video starts, the Menu key's own
    // name: a file written then would bind the other key when read before video starts.
    // SDL names two keys "Return"; a comma separates keys in a list, and a semicolon
    // after a space starts a comment.
    static const std::map<SDL_Scancode, const char*> own = {
        {SDL_SCANCODE_APPLICATION, "Application"},
        {SDL_SCANCODE_RETURN2, "Return2"},
        {SDL_SCANCODE_COMMA, "Comma"},
        {SDL_SCANCODE_KP_COMMA, "Keypad Comma"},
        {SDL_SCANCODE_SEMICOLON, "Semicolon"},
    };
    const auto it = own.find(key);
    return it != own.end() ? it->second : SDL_GetScancodeName(key);
}

SDL_Scancode key_bindings::key_named(const std::string& name) {
    // Looked up through name_of(), not SDL_GetScancodeFromName, whose answer for a
    // renamed key changes once video starts.
    const auto same = [&name](const std::string& other) {
        return other.size() == name.size() &&
               std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    };
    for (int code = SDL_SCANCODE_UNKNOWN + 1; code < SDL_NUM_SCANCODES && !name.empty(); ++code) {
        const auto key = static_cast<SDL_Scancode>(code);
        if (same(name_of(key))) {
            return key;
        }
    }
    return SDL_SCANCODE_UNKNOWN;
}

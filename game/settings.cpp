#include "game/settings.h"

#include "engine/io/file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <ini.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int longest_window = 16384;

// inih reads through this, so that the handler knows the line it is given.
struct reader_state {
    const std::string* text = nullptr;
    size_t at = 0;
    int line = 0;
    bool line_start = true;
};

char* next_line(char* out, int size, void* stream) {
    auto& r = *static_cast<reader_state*>(stream);
    if (r.at >= r.text->size() || size < 2) {
        return nullptr;
    }
    if (r.line_start) {
        ++r.line;
    }
    size_t n = 0;
    while (n + 1 < static_cast<size_t>(size) && r.at < r.text->size()) {
        const char c = (*r.text)[r.at++];
        out[n++] = c;
        if (c == '\n') {
            break;
        }
    }
    out[n] = '\0';
    r.line_start = out[n - 1] == '\n';
    return out;
}

std::optional<bool> to_bool(const std::string& v) {
    if (v == "true" || v == "yes" || v == "on" || v == "1") {
        return true;
    }
    if (v == "false" || v == "no" || v == "off" || v == "0") {
        return false;
    }
    return std::nullopt;
}

std::optional<int> to_int(const std::string& v, int low, int high) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || errno != 0 || n < low || n > high) {
        return std::nullopt;
    }
    return static_cast<int>(n);
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

const char* bool_text(bool b) {
    return b ? "true" : "false";
}

// Everything one read needs while inih calls back.
struct parse {
    parse(settings& into, const std::string& file) : s(into), path(file) {}

    settings& s;
    const std::string& path;
    reader_state reader;
    int bad_lines = 0;
    std::set<int> named_lines;
    // Keys the file binds.
    std::set<SDL_Scancode> bound;
    std::vector<std::pair<action, std::vector<SDL_Scancode>>> bindings;

    void bad(int line, const std::string& why) {
        ++bad_lines;
        named_lines.insert(line);
        std::fprintf(stderr, "%s:%d: %s; that setting keeps its default\n", path.c_str(), line,
                     why.c_str());
    }

    void take(const std::string& section, const std::string& name, const std::string& value) {
        const int line = reader.line;
        const std::string where = "\"" + name + "\" in [" + section + "]";
        const auto number = [&](int low, int high, auto set) {
            if (const auto n = to_int(value, low, high)) {
                set(*n);
            } else {
                bad(line, where + " must be a whole number from " + std::to_string(low) + " to " +
                              std::to_string(high) + ", not \"" + value + "\"");
            }
        };
        const auto flag = [&](auto set) {
            if (const auto b = to_bool(value)) {
                set(*b);
            } else {
                bad(line, where + " must be true or false, not \"" + value + "\"");
            }
        };
        if (section == "audio" && name == "music_volume") {
            number(0, 100, [this](int n) { s.music_volume = n; });
        } else if (section == "audio" && name == "effects_volume") {
            number(0, 100, [this](int n) { s.effects_volume = n; });
        } else if (section == "audio" && name == "mute") {
            flag([this](bool b) { s.mute = b; });
        } else if (section == "controls" && name == "invert_pitch") {
            flag([this](bool b) { s.invert_pitch = b; });
        } else if (section == "display" && name == "fullscreen") {
            flag([this](bool b) { s.fullscreen = b; });
        } else if (section == "display" && name == "window_width") {
            number(1, longest_window, [this](int n) { s.window_width = n; });
        } else if (section == "display" && name == "window_height") {
            number(1, longest_window, [this](int n) { s.window_height = n; });
        } else if (section == "title" && name == "attract_mode") {
            flag([this](bool b) { s.attract_mode = b; });
        } else if (section == "controls" && action_index(name) >= 0) {
            bind(line, static_cast<action>(action_index(name)), value);
        } else {
            bad(line, "unknown setting " + where);
        }
    }

    static int action_index(const std::string& name) {
        const auto it = std::find(action_names.begin(), action_names.end(), name);
        return it == action_names.end() ? -1 : static_cast<int>(it - action_names.begin());
    }

    void bind(int line, action a, const std::string& value) {
        std::vector<SDL_Scancode> keys;
        size_t from = 0;
        while (from <= value.size()) {
            const size_t comma = std::min(value.find(',', from), value.size());
            const std::string name = trim(value.substr(from, comma - from));
            from = comma + 1;
            if (name.empty()) {
                continue;
            }
            const SDL_Scancode key = key_bindings::key_named(name);
            if (key == SDL_SCANCODE_UNKNOWN) {
                bad(line, "unknown key name \"" + name + "\"");
                return;
            }
            if (bound.count(key) != 0 || std::find(keys.begin(), keys.end(), key) != keys.end()) {
                bad(line, "key \"" + name + "\" is bound twice");
                return;
            }
            keys.push_back(key);
        }
        bound.insert(keys.begin(), keys.end());
        bindings.emplace_back(a, keys);
    }
};

int handle(void* user, const char* section, const char* name, const char* value) {
    static_cast<parse*>(user)->take(section, name, value);
    // Every line is dealt with here; inih's own count is left to lines it cannot read.
    return 1;
}

// Whether the player has left the file for the game to write: it must be writable for us
// and carry a write permission at all (root may write anything).
bool writable(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           access(path.c_str(), W_OK) == 0;
}

} // namespace

settings::settings(const std::string& file_path) : path(file_path) {
    tulk::io::file f(path, tulk::io::file::read, tulk::io::file::plain);
    if (!f.good()) {
        if (f.error() != ENOENT) {
            keep_file = true;
            std::fprintf(stderr, "settings file %s not read (%s): the defaults apply\n",
                         path.c_str(), std::strerror(f.error()));
        }
        return;
    }
    if (!f.regular()) {
        keep_file = true;
        std::fprintf(stderr, "settings file %s not read (not a regular file): the defaults apply\n",
                     path.c_str());
        return;
    }
    const std::string text = f.read_file();
    parse p(*this, path);
    p.reader.text = &text;
    const int first_unread = ini_parse_stream(next_line, &p.reader, handle, &p);
    if (first_unread > 0 && p.named_lines.count(first_unread) == 0) {
        p.bad(first_unread, "not a \"name = value\" line or a [section]");
    }
    for (const auto& [a, k] : p.bindings) {
        keys.bind(a, k);
    }
    keep_file = p.bad_lines > 0 || !writable(path);
}

void settings::change_volume(int steps) {
    music_volume = std::clamp(music_volume + steps * volume_step, 0, 100);
    effects_volume = std::clamp(effects_volume + steps * volume_step, 0, 100);
}

bool settings::save() {
    if (path.empty()) {
        return false;
    }
    int error = 0;
    if (!keep_file) {
        std::error_code ec;
        const auto folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, ec);
        }
        error = tulk::io::file::replace(tulk::io::file::final_target(path), text());
        if (error == 0) {
            return true;
        }
    }
    if (!warned) {
        warned = true;
        if (keep_file) {
            std::fprintf(stderr,
                         "settings not saved: %s is kept as it is (read-only, unreadable or "
                         "with a bad line)\n",
                         path.c_str());
        } else {
            std::fprintf(stderr, "settings not saved to %s: %s\n", path.c_str(),
                         std::strerror(error));
        }
    }
    return false;
}

std::string settings::text() const {
    std::string t = "[audio]\n";
    t += "music_volume = " + std::to_string(music_volume) + "\n";
    t += "effects_volume = " + std::to_string(effects_volume) + "\n";
    t += std::string("mute = ") + bool_text(mute) + "\n";
    t += "\n[controls]\n";
    t += std::string("invert_pitch = ") + bool_text(invert_pitch) + "\n";
    for (int i = 0; i < action_count; ++i) {
        std::string names;
        for (const SDL_Scancode key : keys.keys_of(static_cast<action>(i))) {
            names += (names.empty() ? "" : ", ") + std::string(SDL_GetScancodeName(key));
        }
        t += std::string(action_names[i]) + " = " + names + "\n";
    }
    if (fullscreen || window_width || window_height) {
        t += "\n[display]\n";
        if (fullscreen) {
            t += std::string("fullscreen = ") + bool_text(*fullscreen) + "\n";
        }
        if (window_width) {
            t += "window_width = " + std::to_string(*window_width) + "\n";
        }
        if (window_height) {
            t += "window_height = " + std::to_string(*window_height) + "\n";
        }
    }
    if (attract_mode) {
        t += "\n[title]\n";
        t += std::string("attract_mode = ") + bool_text(*attract_mode) + "\n";
    }
    return t;
}

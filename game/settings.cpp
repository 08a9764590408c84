#include "game/settings.h"

#include "engine/io/file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ini.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

static_assert(settings::longest_line + 2 <= INI_MAX_LINE, "a written line must read back whole");

// The file as last read or written, shared by every copy of the settings read from it.
struct settings::file_state {
    std::mutex mutex;
    std::string path;
    // Never written: unreadable, read-only or with a bad value.
    bool keep = false;
    bool warned = false;
    bool existed = false;
    std::string text;
    // Each setting's value as the text holds it ("section\nname" -> value).
    std::map<std::string, std::string> values;
};

namespace {

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
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool is_comment(const std::string& trimmed) {
    return !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '#');
}

// Every setting but the keys, one line each: a new setting is one more line here.
struct entry {
    const char* section;
    const char* name;
    // The value as the file writes it; empty while unset.
    std::function<std::string(const settings&)> get;
    // Takes a value; else says what it must be.
    std::function<std::optional<std::string>(settings&, const std::string&)> set;
};

template <typename T>
std::string show(const T& v) {
    if constexpr (std::is_same_v<T, bool>) {
        return v ? "true" : "false";
    } else {
        return std::to_string(v);
    }
}

template <typename T>
std::string show(const std::optional<T>& v) {
    return v ? show(*v) : std::string();
}

template <auto member>
entry flag(const char* section, const char* name) {
    return {section, name, [](const settings& s) { return show(s.*member); },
            [](settings& s, const std::string& v) -> std::optional<std::string> {
                const auto b = to_bool(v);
                if (b) {
                    s.*member = *b;
                    return std::nullopt;
                }
                return "must be true or false";
            }};
}

template <auto member, int low, int high>
entry number(const char* section, const char* name) {
    return {section, name, [](const settings& s) { return show(s.*member); },
            [](settings& s, const std::string& v) -> std::optional<std::string> {
                const auto n = to_int(v, low, high);
                if (n) {
                    s.*member = *n;
                    return std::nullopt;
                }
                return "must be a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high);
            }};
}

const std::vector<entry>& entries() {
    static const std::vector<entry> all = {
        number<&settings::music_volume, 0, 100>("audio", "music_volume"),
        number<&settings::effects_volume, 0, 100>("audio", "effects_volume"),
        flag<&settings::mute>("audio", "mute"),
        flag<&settings::invert_pitch>("controls", "invert_pitch"),
        flag<&settings::fullscreen>("display", "fullscreen"),
        number<&settings::window_width, settings::smallest_side, settings::largest_side>(
            "display", "window_width"),
        number<&settings::window_height, settings::smallest_side, settings::largest_side>(
            "display", "window_height"),
        flag<&settings::smooth_motion>("display", "smooth_motion"),
        flag<&settings::attract_mode>("title", "attract_mode"),
    };
    return all;
}

constexpr const char* keys_section = "controls";

int action_index(const std::string& name) {
    const auto it = std::find(action_names.begin(), action_names.end(), name);
    return it == action_names.end() ? -1 : static_cast<int>(it - action_names.begin());
}

std::string key_list(const key_bindings& keys, action a) {
    std::string names;
    for (const SDL_Scancode key : keys.keys_of(a)) {
        names += (names.empty() ? "" : ", ") + key_bindings::name_of(key);
    }
    return names;
}

// "name = value", or as tight as the reader takes where that line would be cut.
std::string setting_line(const std::string& name, const std::string& value) {
    std::string line = name + " = " + value;
    if (line.size() > settings::longest_line) {
        line = name + "=" + value;
        for (size_t comma; (comma = line.find(", ")) != std::string::npos;) {
            line.erase(comma + 1, 1);
        }
    }
    return line;
}

std::string key_of(const std::string& section, const std::string& name) {
    return section + "\n" + name;
}

// Every value of `s` as the file would write it; an unset one is left out.
std::map<std::string, std::string> values_of(const settings& s) {
    std::map<std::string, std::string> v;
    for (const entry& e : entries()) {
        if (std::string text = e.get(s); !text.empty()) {
            v[key_of(e.section, e.name)] = text;
        }
    }
    for (int i = 0; i < action_count; ++i) {
        v[key_of(keys_section, std::string(action_names[i]))] =
            key_list(s.keys, static_cast<action>(i));
    }
    return v;
}

// Hands inih one whole line a call, so that its line count is ours, and keeps from it
// what it would misread: an over-long line (cut in two), an indented one (joined to the
// line before) and a line that is no setting (all but the first would go unnamed).
struct reader_state {
    const std::string* text = nullptr;
    size_t at = 0;
    int line = 0;
    std::string current;
    std::function<void(int, const std::string&)> bad;
};

char* next_line(char* out, int size, void* stream) {
    auto& r = *static_cast<reader_state*>(stream);
    if (r.at >= r.text->size() || size < 2) {
        return nullptr;
    }
    const size_t end = std::min(r.text->find('\n', r.at), r.text->size());
    r.current = r.text->substr(r.at, end - r.at);
    r.at = end + 1;
    ++r.line;
    const std::string t = trim(r.current);
    std::string handed = r.current;
    if (r.current.size() + 2 > static_cast<size_t>(size)) {
        r.bad(r.line, "longer than " + std::to_string(size - 2) + " characters; all of it ignored");
        handed.clear();
    } else if (!t.empty() && !is_comment(t) && (r.current[0] == ' ' || r.current[0] == '\t')) {
        r.bad(r.line, "an indented line (settings start at the line's start)");
        handed.clear();
    } else if (!t.empty() && !is_comment(t) && t[0] != '[' &&
               t.find_first_of("=:") == std::string::npos) {
        r.bad(r.line, "not a \"name = value\" line or a [section]");
        handed.clear();
    }
    std::memcpy(out, handed.c_str(), handed.size() + 1);
    return out;
}

// Everything one read needs while inih calls back.
struct parse {
    parse(settings& into, const std::string& file) : s(into), path(file) {
        reader.bad = [this](int line, const std::string& why) { bad(line, why); };
    }

    settings& s;
    const std::string& path;
    reader_state reader;
    int bad_lines = 0;
    // Bad values, not unknown names, keep the file from being written.
    bool keep_file = false;
    std::set<int> named_lines;
    // Keys the file binds.
    std::set<SDL_Scancode> bound;

    void bad(int line, const std::string& why, bool keeps_file = true) {
        keep_file = keep_file || keeps_file;
        named_lines.insert(line);
        if (++bad_lines <= settings::named_bad_lines) {
            std::fprintf(stderr, "%s:%d: %s; that setting keeps its default\n", path.c_str(), line,
                         why.c_str());
        }
    }

    void finish() {
        if (bad_lines > settings::named_bad_lines) {
            std::fprintf(stderr, "%s: %d more bad lines\n", path.c_str(),
                         bad_lines - settings::named_bad_lines);
        }
    }

    void take(const std::string& section, const std::string& name, const std::string& value) {
        const int line = reader.line;
        const std::string where = "\"" + name + "\" in [" + section + "]";
        // inih drops a comment after the value, and with it what a ';' was meant to be.
        const size_t separator = reader.current.find_first_of("=:");
        if (value.empty() && separator != std::string::npos &&
            !trim(reader.current.substr(separator + 1)).empty()) {
            bad(line, where + " has a comment for its value (';' starts one)");
            return;
        }
        for (const entry& e : entries()) {
            if (section == e.section && name == e.name) {
                if (const auto why = e.set(s, value)) {
                    bad(line, where + " " + *why + ", not \"" + value + "\"");
                }
                return;
            }
        }
        if (section == keys_section && action_index(name) >= 0) {
            bind(line, static_cast<action>(action_index(name)), value);
        } else {
            bad(line, "unknown setting " + where, false);
        }
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
        // A line that would leave a game that cannot be started or left from the keyboard
        // is refused.
        key_bindings trial = s.keys;
        trial.bind(a, keys);
        for (const action needed : {action::start, action::quit}) {
            if (trial.keys_of(needed).empty()) {
                bad(line, "it leaves " + std::string(action_names[static_cast<int>(needed)]) +
                              " with no key");
                return;
            }
        }
        bound.insert(keys.begin(), keys.end());
        s.keys = trial;
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

// `base` with `now`'s changed values in their lines and the values it lacks added at the
// end of their section; every other line as it was.
std::string rewrite(const std::string& base, const std::map<std::string, std::string>& old_values,
                    const settings& now) {
    std::map<std::string, std::string> changed;
    for (const auto& [key, value] : values_of(now)) {
        const auto old = old_values.find(key);
        if (old == old_values.end() || old->second != value) {
            changed[key] = value;
        }
    }
    std::vector<std::string> out;
    std::map<std::string, size_t> section_end;
    std::string section;
    std::set<std::string> done;
    for (size_t at = 0; at < base.size();) {
        const size_t end = std::min(base.find('\n', at), base.size());
        std::string line = base.substr(at, end - at);
        at = end + 1;
        const std::string t = trim(line);
        const size_t separator = line.find_first_of("=:");
        if (!t.empty() && t[0] == '[' && t.find(']') != std::string::npos) {
            section = trim(t.substr(1, t.find(']') - 1));
        } else if (!t.empty() && !is_comment(t) && separator != std::string::npos &&
                   line[0] != ' ' && line[0] != '\t') {
            const std::string name = trim(line.substr(0, separator));
            const auto c = changed.find(key_of(section, name));
            if (c != changed.end()) {
                const std::string rest = line.substr(separator + 1);
                size_t comment = rest.find(';');
                while (comment != std::string::npos && comment > 0 && rest[comment - 1] != ' ' &&
                       rest[comment - 1] != '\t') {
                    comment = rest.find(';', comment + 1);
                }
                line =
                    setting_line(name, c->second) +
                    (comment == std::string::npos || comment == 0 ? "" : rest.substr(comment - 1));
                done.insert(c->first);
            }
        }
        out.push_back(line);
        // A comment may belong to the next section already.
        if (!t.empty() && !is_comment(t)) {
            section_end[section] = out.size();
        }
    }
    // Added in the order of the sections, then of their lines.
    std::vector<std::pair<std::string, std::vector<std::string>>> added;
    const auto add = [&](const std::string& sec, const std::string& name) {
        const auto c = changed.find(key_of(sec, name));
        if (c == changed.end() || done.count(c->first) != 0) {
            return;
        }
        if (added.empty() || added.back().first != sec) {
            added.emplace_back(sec, std::vector<std::string>());
        }
        added.back().second.push_back(setting_line(name, c->second));
    };
    for (const entry& e : entries()) {
        add(e.section, e.name);
        if (std::string(e.name) == "invert_pitch") {
            for (const std::string_view name : action_names) {
                add(keys_section, std::string(name));
            }
        }
    }
    std::string text;
    for (size_t i = 0; i <= out.size(); ++i) {
        for (const auto& [sec, lines] : added) {
            const auto e = section_end.find(sec);
            if (e != section_end.end() && e->second == i) {
                for (const std::string& l : lines) {
                    text += l + "\n";
                }
            }
        }
        if (i < out.size()) {
            text += out[i] + "\n";
        }
    }
    for (const auto& [sec, lines] : added) {
        if (section_end.count(sec) == 0) {
            text +=
                std::string(text.empty() || text.ends_with("\n\n") ? "" : "\n") + "[" + sec + "]\n";
            for (const std::string& l : lines) {
                text += l + "\n";
            }
        }
    }
    return text;
}

// The first line of `text` the reader would not take whole, cut to its name.
std::optional<std::string> too_long(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        if (end - at > settings::longest_line) {
            return trim(text.substr(at, text.find_first_of("=:", at) - at));
        }
        at = end + 1;
    }
    return std::nullopt;
}

} // namespace

settings::settings(const std::string& file_path) : file(std::make_shared<file_state>()) {
    file->path = file_path;
    tulk::io::file f(file_path, tulk::io::file::read, tulk::io::file::plain);
    if (!f.good()) {
        if (f.error() != ENOENT) {
            file->keep = true;
            std::fprintf(stderr, "settings file %s not read (%s): the defaults apply\n",
                         file_path.c_str(), std::generic_category().message(f.error()).c_str());
        }
        return;
    }
    if (!f.regular()) {
        file->keep = true;
        std::fprintf(stderr, "settings file %s not read (not a regular file): the defaults apply\n",
                     file_path.c_str());
        return;
    }
    file->existed = true;
    file->text = f.read_file();
    parse p(*this, file_path);
    p.reader.text = &file->text;
    const int first_unread = ini_parse_stream(next_line, &p.reader, handle, &p);
    if (first_unread > 0 && p.named_lines.count(first_unread) == 0) {
        p.bad(first_unread, "not a \"name = value\" line or a [section]");
    }
    p.finish();
    file->values = values_of(*this);
    file->keep = p.keep_file || !writable(file_path);
}

void settings::change_volume(int steps) {
    music_volume = std::clamp(music_volume + steps * volume_step, 0, 100);
    effects_volume = std::clamp(effects_volume + steps * volume_step, 0, 100);
}

bool settings::save() {
    if (!file || file->path.empty()) {
        return false;
    }
    const std::lock_guard hold(file->mutex);
    int error = 0;
    if (!file->keep) {
        const std::string t = rewrite(file->text, file->values, *this);
        if (t == file->text && file->existed) {
            return true;
        }
        if (const auto cut = too_long(t)) {
            std::fprintf(stderr,
                         "settings not saved to %s: \"%s\" would be longer than %zu "
                         "characters\n",
                         file->path.c_str(), cut->c_str(), longest_line);
            return false;
        }
        std::error_code ec;
        const auto folder = std::filesystem::path(file->path).parent_path();
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, ec);
        }
        // Never rewritten in place: a write cut short there would lose the player's file.
        error = tulk::io::file::replace(tulk::io::file::final_target(file->path), t,
                                        tulk::io::file::new_file_only);
        if (error == 0) {
            file->text = t;
            file->values = values_of(*this);
            file->existed = true;
            return true;
        }
    }
    if (!file->warned) {
        file->warned = true;
        if (file->keep) {
            std::fprintf(stderr,
                         "settings not saved: %s is kept as it is (read-only, unreadable or "
                         "with a bad line)\n",
                         file->path.c_str());
        } else {
            std::fprintf(stderr, "settings not saved to %s: %s\n", file->path.c_str(),
                         std::generic_category().message(error).c_str());
        }
    }
    return false;
}

std::string settings::text() const {
    if (!file) {
        return rewrite({}, {}, *this);
    }
    const std::lock_guard hold(file->mutex);
    return rewrite(file->text, file->values, *this);
}

#pragma once

#include "game/key_bindings.h"

#include <optional>
#include <string>

// What a player may change: the volumes, the keys, the window. Kept in a small INI file
// ([audio], [controls], [display], [title]); every key is optional and a missing file means the
// defaults, which are the game as it always played.
class settings {
public:
    static constexpr int volume_step = 10;

    int music_volume = 100; // per cent of the game's own volumes
    int effects_volume = 100;
    bool mute = false;
    bool invert_pitch = false; // pitch_up and pitch_down swap what they do
    key_bindings keys;
    // Only what the file gives; the window's own defaults otherwise.
    std::optional<bool> fullscreen;
    std::optional<int> window_width;
    std::optional<int> window_height;
    // [title]: whether the best game kept is shown after a while on the title (it is when
    // the file does not say).
    std::optional<bool> attract_mode;

    // The defaults, tied to no file: nothing is ever saved.
    settings() = default;

    // Reads `path`. A missing file gives the defaults and is made at the first save. A bad
    // line is named on stderr (file, line number, why) and its setting keeps its default;
    // a file that cannot be read, or holds a bad line, is never overwritten, so that no
    // hand edit is lost.
    explicit settings(const std::string& path);

    // Moves both volumes by `steps` volume steps, within 0 to 100.
    void change_volume(int steps);

    // Writes every setting to the file it was read from, safely (see tulk::io::file).
    // Returns false, and says why once, when the file is kept or cannot be written.
    bool save();

    // The file's text for these settings.
    std::string text() const;

private:
    std::string path;
    bool keep_file = false;
    bool warned = false;
};

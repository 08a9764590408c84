#pragma once

#include "game/key_bindings.h"
#include "game/window_options.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

// What a player may change: the volumes, the keys, the window. Kept in a small INI file
// ([audio], [controls], [display], [title]); every key is optional and a missing file means the
// defaults, which are the game as it always played.
class settings {
public:
    static constexpr int volume_step = 10;
    // The window's sides, from the file or the command line.
    static constexpr int smallest_side = window_options::smallest_side;
    static constexpr int largest_side = window_options::largest_side;
    // The longest line the INI reader takes whole, without its line feed.
    static constexpr std::size_t longest_line = 198;
    // Bad lines named one by one; the rest are counted.
    static constexpr int named_bad_lines = 10;

    int music_volume = 100; // per cent of the game's own volumes
    int effects_volume = 100;
    bool mute = false;
    bool invert_pitch = false; // pitch_up and pitch_down swap what they do
    key_bindings keys;
    // Only what the file gives; the window's own defaults otherwise.
    std::optional<bool> fullscreen;
    std::optional<int> window_width;
    std::optional<int> window_height;
    // Frames at the display's rate between the world's updates; off unless the file says.
    std::optional<bool> smooth_motion;
    // [title]: whether the best game kept is shown after a while on the title (it is when
    // the file does not say).
    std::optional<bool> attract_mode;

    // The defaults, tied to no file: nothing is ever saved.
    settings() = default;

    // Reads `path`. A missing file gives the defaults and is made at the first save. A bad
    // line is named on stderr (file, line number, why) and its setting keeps its default;
    // a file that cannot be read, or holds a bad value, is never overwritten, so that no
    // hand edit is lost. A line that would leave start or quit with no key is bad.
    explicit settings(const std::string& path);

    // Moves both volumes by `steps` volume steps, within 0 to 100.
    void change_volume(int steps);

    // Writes the values changed since the file was read or last saved into their own
    // lines, keeping every other line as it was (a new file gets every setting), through
    // a new file renamed over the old one: a failed save leaves the old file as it was.
    // Copies share the file, so a copy may save on another thread. Returns false, and
    // says why once, when the file is kept or cannot be written.
    bool save();

    // The file's text that save() would write now.
    std::string text() const;

private:
    struct file_state;
    std::shared_ptr<file_state> file;
};

#pragma once

#include "game/window_options.h"

#include <cstdio>
#include <optional>
#include <string>

class settings;

// What the player asked for on the command line. Each choice stays unset when it was not
// given, so that whatever else decides it (a settings file, the default) still can.
class command_line {
public:
    // The window a desktop player gets when no size is given.
    static constexpr int default_window_width = 1280;
    static constexpr int default_window_height = 720;
    // Bounds of a size given with --window=WxH, on each side.
    static constexpr int smallest_side = window_options::smallest_side;
    static constexpr int largest_side = window_options::largest_side;

    struct size {
        int width;
        int height;
    };

    // --fullscreen (true) or --window (false), the last one given.
    std::optional<bool> fullscreen;
    // --window=WxH.
    std::optional<size> window_size;
    // --smooth (true) or --no-smooth (false), the last one given.
    std::optional<bool> smooth_motion;
    // --replay FILE: play a recorded game in the window, then end.
    std::optional<std::string> replay_file;
    // --verify FILE: play a recorded game through with no window and say whether it came out
    // the same.
    std::optional<std::string> verify_file;

    // The window to open: full screen or not as the command line says, else as the
    // settings file's [display] says, else full screen with the input grabbed; a window is
    // centred, of the size given the same way, else 1280x720. Full screen keeps that size
    // for a switch to a window.
    window_options window_for(const settings& prefs) const;

    // Smooth motion as the command line says, else as the settings file says, else off.
    bool smooth_motion_for(const settings& prefs) const;

    // Reads the options into `c`. Returns nothing when the game should start; else the
    // exit status: 0 after --help or --version printed on `out`, 2 after one line about a
    // bad option and a hint on `err`.
    static std::optional<int> parse(int argc, char** argv, command_line& c, std::FILE* out,
                                    std::FILE* err);
};

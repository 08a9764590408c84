#pragma once

#include <string>

// The window the game opens by default: full screen with the input grabbed.
struct window_options {
    // A window's sides, from the settings file or the command line: one rule for both.
    static constexpr int smallest_side = 16;
    static constexpr int largest_side = 16384;

    std::string title = "Ardlow";
    int x = 0;
    int y = 0;
    int width = 400;
    int height = 400;
    bool fullscreen = true;
    bool grab_input = true;
};

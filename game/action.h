#pragma once

#include <array>
#include <string_view>

// What a player can ask of the game, whatever the input: the keyboard through its key
// bindings, a controller through its mapping, the benchmark's pilots and the tests
// directly. Each comes as a press and a release.
enum class action {
    start, // starts a game from the title; pauses and resumes one in play
    yaw_left,
    yaw_right,
    pitch_up, // nose up, a climb
    pitch_down,
    roll_left,
    roll_right,
    double_speed,
    quit,
    mute,
    volume_down,
    volume_up,
    fullscreen,
};

inline constexpr int action_count = 13;

// The names the settings file binds keys under, in the order of the enumeration.
inline constexpr std::array<std::string_view, action_count> action_names = {
    "start",       "yaw_left",   "yaw_right",    "pitch_up", "pitch_down",
    "roll_left",   "roll_right", "double_speed", "quit",     "mute",
    "volume_down", "volume_up",  "fullscreen",
};

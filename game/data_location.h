#pragma once

#include <string>

// Where the game reads its data and keeps its high score. The game opens every data file
// by a path relative to the working directory; settle() picks that directory once, at
// start: the working directory itself when it holds the data or at least its "textures"
// folder (a game folder, perhaps damaged), else the
// executable's own folder (a staged or unpacked game started by its full path), else the
// installed data folder <prefix>/share/games/ardlow for a program in <prefix>/games (Debian's
// layout for games), whose high score lives in the player's own data folder because the
// install is read-only.
class data_location {
public:
    // Decides from the executable's folder as SDL reports it and changes the working
    // directory. When no place holds the data, prints one line naming the places looked
    // in and returns false.
    static bool settle();

    // The high-score file: "highscore" in the working directory unless the game is
    // installed, then $XDG_DATA_HOME/ardlow/highscore (~/.local/share/ardlow/ by default);
    // empty when installed with no folder of the player's own (an empty or relative
    // variable counts as unset).
    static const std::string& high_score_file() { return sHighScoreFile; }

    // The settings file: "settings.ini" in the working directory unless the game is
    // installed, then $XDG_CONFIG_HOME/ardlow/settings.ini (~/.config/ardlow/ by default);
    // empty, the defaults and nothing saved, with no folder of the player's own.
    static const std::string& settings_file() { return sSettingsFile; }

private:
    static std::string sHighScoreFile;
    static std::string sSettingsFile;
};

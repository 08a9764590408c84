#include "game/data_location.h"

#include "game/data_files.h"

#include <SDL2/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The data is there when the title picture is. Anything by that name counts (a broken or odd
// one is then named by the texture loader), and nothing is opened here, so nothing can block.
constexpr const char* marker = data_files::title_picture;
constexpr const char* high_score_name = "highscore";
constexpr const char* settings_name = "settings.ini";

bool holds_data(const fs::path& folder) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(folder / marker, ec));
}

bool enter(const fs::path& folder) {
    std::error_code ec;
    fs::current_path(folder, ec);
    if (ec) {
        std::printf("cannot enter the game data folder %s: %s\n", folder.c_str(),
                    ec.message().c_str());
    }
    return !ec;
}

// SDL_GetPrefPath: $XDG_DATA_HOME/ardlow/ (~/.local/share/ardlow/ by default), created
// when missing.
std::string player_folder() {
    char* pref = SDL_GetPrefPath(nullptr, "ardlow");
    if (pref == nullptr) {
        return {};
    }
    const std::string folder = pref;
    SDL_free(pref);
    return folder;
}

// $XDG_CONFIG_HOME/ardlow/, or ~/.config/ardlow/; empty when neither is known.
std::string config_folder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/ardlow/";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/ardlow/";
    }
    return {};
}

} // namespace

std::string data_location::sHighScoreFile = high_score_name;
std::string data_location::sSettingsFile = settings_name;

bool data_location::settle() {
    sHighScoreFile = high_score_name;
    sSettingsFile = settings_name;
    // A working directory with the title picture's folder is a game folder, damaged or
    // not: a missing picture is then named by the loader instead of sending the search
    // elsewhere.
    std::error_code ec;
    if (fs::exists(fs::symlink_status(fs::path(marker).parent_path(), ec))) {
        return true;
    }
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        std::printf("no game data: %s is not in the working directory, and the program's "
                    "folder is unknown: %s\n",
                    marker, SDL_GetError());
        return false;
    }
    const fs::path own = fs::path(base).lexically_normal();
    SDL_free(base);
    const fs::path installed = (own / "../share/games/ardlow/").lexically_normal();
    if (holds_data(own)) {
        return enter(own);
    }
    if (holds_data(installed)) {
        if (!enter(installed)) {
            return false;
        }
        // Without a config folder the settings are read beside the data, and not saved.
        if (const std::string config = config_folder(); !config.empty()) {
            sSettingsFile = config + settings_name;
        }
        const std::string player = player_folder();
        if (player.empty()) {
            // The high score then goes beside the data, where it is saved only if the
            // install is writable; the save says so when it is not.
            std::printf("no folder of the player's own for the high score: %s\n", SDL_GetError());
        } else {
            sHighScoreFile = player + high_score_name;
        }
        return true;
    }
    std::printf("no game data: %s is neither in the working directory, nor in %s, nor in %s\n",
                marker, own.c_str(), installed.c_str());
    return false;
}

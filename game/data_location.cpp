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

// An XDG folder: the variable's value when it is absolute, else `fallback` under $HOME
// when that is absolute; empty when neither is (an empty or relative value counts as
// unset, as the XDG rules say).
std::string xdg_folder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return std::string(value) + "/ardlow/";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/" + fallback + "/ardlow/";
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
        // Nothing is ever written into the installed data: with no folder of the
        // player's own, nothing is kept.
        sSettingsFile = xdg_folder("XDG_CONFIG_HOME", ".config");
        if (!sSettingsFile.empty()) {
            sSettingsFile += settings_name;
        }
        sHighScoreFile = xdg_folder("XDG_DATA_HOME", ".local/share");
        if (sHighScoreFile.empty()) {
            std::printf("the high score cannot be kept: neither XDG_DATA_HOME nor HOME names "
                        "a folder\n");
        } else {
            std::filesystem::create_directories(sHighScoreFile, ec);
            sHighScoreFile += high_score_name;
        }
        return true;
    }
    std::printf("no game data: %s is neither in the working directory, nor in %s, nor in %s\n",
                marker, own.c_str(), installed.c_str());
    return false;
}

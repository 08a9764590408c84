#include "game/command_line.h"

#include "game/settings.h"

#include <SDL2/SDL.h>
#include <cerrno>
#include <cstdlib>
#include <getopt.h>
#include <string>
#include <system_error>

namespace {

const char* const usage =
    "usage: ardlow [--fullscreen | --window[=WxH]] [--smooth | --no-smooth]\n"
    "              [--replay FILE]\n"
    "       ardlow --verify FILE\n"
    "A 3D snake game: fly a snake of cubes through a cage of wall bars.\n"
    "\n"
    "  --fullscreen    play on the whole screen (the default)\n"
    "  --window[=WxH]  play in a resizable window, 1280x720 unless a size is given\n"
    "  --smooth        draw at the display's rate, the world between its updates;\n"
    "                  the same game, about twice the drawing work (off by default)\n"
    "  --no-smooth     draw once per world update, every 32 ms\n"
    "  --replay FILE   play a recorded game, then end\n"
    "  --verify FILE   play a recorded game through with no window and say whether it\n"
    "                  came out the same\n"
    "  --help          this text\n"
    "  --version       the version\n"
    "\n"
    "Keys: left Alt starts a game and pauses it; the arrows yaw and pitch; right Shift\n"
    "and right Ctrl roll; Page Up, Page Down, Home and End double the speed while held;\n"
    "F11 or Alt+Enter switches between full screen and a window; M mutes and unmutes;\n"
    "minus and plus turn the sound down and up; Q or Escape quits.\n"
    "\n"
    "The data (textures/, music/, sfx/) is read from the working directory when it holds\n"
    "it, else from the program's folder, else from ../share/games/ardlow beside the\n"
    "program. The high score is the file \"highscore\" beside the data; an installed game\n"
    "keeps it in $XDG_DATA_HOME/ardlow/highscore (~/.local/share/ardlow/highscore).\n"
    "The volumes, keys and window are read from \"settings.ini\" beside the high score;\n"
    "an installed game reads $XDG_CONFIG_HOME/ardlow/settings.ini\n"
    "(~/.config/ardlow/settings.ini). Changes made in the game are saved there.\n"
    "Beside the high score, last.replay records the last game played and best.replay\n"
    "the best one.\n";

enum option_id {
    fullscreen_option = 256,
    window_option,
    smooth_option,
    no_smooth_option,
    replay_option,
    verify_option,
    help_option,
    version_option
};

const option options[] = {
    {"fullscreen", no_argument, nullptr, fullscreen_option},
    {"window", optional_argument, nullptr, window_option},
    {"smooth", no_argument, nullptr, smooth_option},
    {"no-smooth", no_argument, nullptr, no_smooth_option},
    {"replay", required_argument, nullptr, replay_option},
    {"verify", required_argument, nullptr, verify_option},
    {"help", no_argument, nullptr, help_option},
    {"version", no_argument, nullptr, version_option},
    {nullptr, 0, nullptr, 0},
};

// One side of a size: decimal digits only, within the bounds.
bool side_of(const std::string& text, int& side) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < command_line::smallest_side || value > command_line::largest_side) {
        return false;
    }
    side = static_cast<int>(value);
    return true;
}

bool size_of(const std::string& text, command_line::size& size) {
    const size_t x = text.find('x');
    return x != std::string::npos && side_of(text.substr(0, x), size.width) &&
           side_of(text.substr(x + 1), size.height);
}

int bad(std::FILE* err, const std::string& line) {
    std::fprintf(err, "ardlow: %s\ntry ardlow --help\n", line.c_str());
    return 2;
}

// The help or the version: lost on the way is an error.
int print(std::FILE* out, std::FILE* err, const char* text, const char* what) {
    std::fputs(text, out);
    if (std::fflush(out) != 0 || std::ferror(out) != 0) {
        std::fprintf(err, "ardlow: the %s could not be written: %s\n", what,
                     std::generic_category().message(errno).c_str());
        return 1;
    }
    return 0;
}

} // namespace

window_options command_line::window_for(const settings& prefs) const {
    window_options w;
    w.fullscreen = fullscreen.value_or(prefs.fullscreen.value_or(true));
    w.grab_input = w.fullscreen;
    w.x = SDL_WINDOWPOS_CENTERED;
    w.y = SDL_WINDOWPOS_CENTERED;
    const size wanted =
        window_size.value_or(size{prefs.window_width.value_or(default_window_width),
                                  prefs.window_height.value_or(default_window_height)});
    w.width = wanted.width;
    w.height = wanted.height;
    return w;
}

bool command_line::smooth_motion_for(const settings& prefs) const {
    return smooth_motion.value_or(prefs.smooth_motion.value_or(false));
}

std::optional<int> command_line::parse(int argc, char** argv, command_line& c, std::FILE* out,
                                       std::FILE* err) {
    optind = 0; // a fresh scan, also when called again
    opterr = 0;
    for (;;) {
        const int id = getopt_long(argc, argv, "", options, nullptr);
        switch (id) {
        case -1:
            if (optind < argc) {
                return bad(err, std::string("unexpected argument \"") + argv[optind] + "\"");
            }
            return std::nullopt;
        case help_option:
            return print(out, err, usage, "help");
        case version_option:
            return print(out, err, "ardlow " ARDLOW_VERSION "\n", "version");
        case fullscreen_option:
            c.fullscreen = true;
            break;
        case smooth_option:
        case no_smooth_option:
            c.smooth_motion = id == smooth_option;
            break;
        case window_option:
            c.fullscreen = false;
            if (optarg != nullptr) {
                size wanted{};
                if (!size_of(optarg, wanted)) {
                    return bad(err, std::string("--window wants a size such as 1280x720, from ") +
                                        std::to_string(smallest_side) + " to " +
                                        std::to_string(largest_side) + " on each side, not \"" +
                                        optarg + "\"");
                }
                c.window_size = wanted;
            }
            break;
        case replay_option:
            c.replay_file = optarg;
            break;
        case verify_option:
            c.verify_file = optarg;
            break;
        case '?':
            if (optopt == replay_option || optopt == verify_option) {
                return bad(err, std::string(argv[optind - 1]) + " wants a replay file");
            }
            [[fallthrough]];
        default:
            // A long option is named as written. An unknown short option leaves optind on
            // its group; optopt names it.
            if (optopt == 0 || optopt >= fullscreen_option) {
                return bad(err, (optopt >= fullscreen_option ? "option takes no value: "
                                                             : "unknown option ") +
                                    std::string(argv[optind - 1]));
            }
            return bad(err, "unknown option -" + std::string(1, static_cast<char>(optopt)));
        }
    }
}

#include "game/command_line.h"
#include "game/data_location.h"
#include "game/frame_loop.h"
#include "game/process_setup.h"
#include "game/replay_player.h"
#include "game/session.h"
#include "game/settings.h"

#include <csignal>

int main(int argc, char** argv) {
    process_setup::harden();
    // Before anything else is opened, so that --help, --version and a mistake open no window.
    command_line options;
    if (const auto status = command_line::parse(argc, argv, options, stdout, stderr)) {
        return *status;
    }
    // A recording is checked with no window and no data.
    if (options.verify_file) {
        return replay_player::verify_file(*options.verify_file, stdout);
    }
    std::optional<replay> watched;
    if (options.replay_file && !(watched = replay_player::load(*options.replay_file, stderr))) {
        return 1;
    }
    // Before the window: without its data the game has nothing to show.
    if (!data_location::settle()) {
        return 1;
    }
    settings prefs(data_location::settings_file());
    const session::window_options window = options.window_for(prefs);
    const bool smooth = options.smooth_motion_for(prefs);
    // A closed terminal ends the game as SIGTERM does, through SDL's quit and the save;
    // SDL installs its SIGTERM handler with the window, before any game is running.
    std::signal(SIGHUP, [](int) { std::raise(SIGTERM); });
    // Ctrl+Z in a terminal: paused first, then stopped.
    std::signal(SIGTSTP, frame_loop::on_terminal_stop);
    session ardlow(window, nullptr, std::move(prefs));
    ardlow.get_game().set_smooth_motion(smooth);
    if (watched) {
        ardlow.get_game().watch(std::move(*watched));
    }
    frame_loop::run(ardlow.get_window(), ardlow.get_game());
    return 0;
}

#pragma once

#include "game/replay.h"

#include <cstdint>
#include <optional>
#include <string>

// When the title has waited long enough with nobody at the controls, the best game kept
// is shown as an arcade machine shows its play. It only watches the clock and reads the
// recording; the game plays it.
class attract_mode {
public:
    // Milliseconds on the title with no input before the best game is shown.
    static constexpr std::uint32_t idle_ms = 20000;

    // Shows the recording in `best_file`, when `enabled`.
    attract_mode(bool enabled, std::string best_file);

    // The title is shown again, or input came: the wait starts over at `now`.
    void restart(std::uint32_t now);
    // On the title at `now`: once the wait is over, the recording to show; nothing while
    // waiting, when disabled, or when no readable recording is kept (the wait then starts
    // over, so that the file is looked for once per wait, not every frame).
    std::optional<replay> due(std::uint32_t now);

private:
    bool enabled;
    std::string best_file;
    std::uint32_t since = 0;
};

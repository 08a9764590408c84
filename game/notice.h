#pragma once

#include "game/text.h"

#include <cstdint>
#include <optional>
#include <string>

// A short line in the top-right corner that says what a key just changed ("SOUND OFF"),
// shown for a moment by the game clock and then gone.
class notice {
public:
    static constexpr std::uint32_t shown_ms = 1500;

    // What the sound settings are now, as the line says them.
    static std::string sound_line(int music_volume, int effects_volume, bool mute);

    void show(const std::string& line, std::uint32_t now);
    // Whether the line is still up at `now`.
    bool visible(std::uint32_t now) const;

    text& get_text() { return line_text; }

private:
    text line_text;
    std::optional<std::uint32_t> since;
};

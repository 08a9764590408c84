#include "game/notice.h"

std::string notice::sound_line(int music_volume, int effects_volume, bool mute) {
    if (mute) {
        return "SOUND OFF";
    }
    return "MUSIC " + std::to_string(music_volume) + "%  EFFECTS " +
           std::to_string(effects_volume) + "%";
}

void notice::show(const std::string& line, std::uint32_t now) {
    line_text.set_string(line);
    since = now;
}

bool notice::visible(std::uint32_t now) const {
    // Counted as a difference, so that a wrap of the millisecond counter changes nothing.
    return since && now - *since < shown_ms;
}

#include "game/pause_menu.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <strings.h>

namespace {

const glm::vec3 chosen_colour(1.0f, 0.9f, 0.3f);
const glm::vec3 line_colour(1.0f);

// One volume step up or down, within 0 to 100.
int stepped(int volume, int direction) {
    return std::clamp(volume + direction * settings::volume_step, 0, 100);
}

std::string on_off(bool on) {
    return on ? "ON" : "OFF";
}

} // namespace

pause_menu::pause_menu(bool full_screen_item) {
    items = {item::resume, item::music, item::effects, item::sound, item::smooth};
    if (full_screen_item) {
        items.push_back(item::full_screen);
    }
    items.push_back(item::quit);
    for (size_t i = 0; i < items.size(); ++i) {
        lines.push_back(std::make_unique<text>());
    }
}

bool pause_menu::has_windows(const char* video_driver) {
    // Drivers that draw straight to a display, as handhelds run the game.
    static constexpr std::array bare = {"KMSDRM", "RPI", "vivante", "mali", "DirectFB", "fbcon"};
    return video_driver == nullptr ||
           std::none_of(bare.begin(), bare.end(),
                        [video_driver](const char* d) { return strcasecmp(d, video_driver) == 0; });
}

pause_menu::outcome pause_menu::press(key k, settings& prefs) {
    if (k == key::up || k == key::down) {
        const size_t n = items.size();
        chosen = (chosen + (k == key::up ? n - 1 : 1)) % n;
        return outcome::moved;
    }
    const int direction = k == key::left ? -1 : 1;
    switch (items[chosen]) {
    case item::resume:
        return k == key::choose ? outcome::resume : outcome::none;
    case item::quit:
        return k == key::choose ? outcome::quit : outcome::none;
    case item::music:
    case item::effects: {
        if (k == key::choose) {
            return outcome::none;
        }
        int& volume = items[chosen] == item::music ? prefs.music_volume : prefs.effects_volume;
        const int before = volume;
        volume = stepped(volume, direction);
        return volume == before ? outcome::none : outcome::changed;
    }
    case item::sound:
        prefs.mute = !prefs.mute;
        return outcome::changed;
    case item::smooth:
        return outcome::smooth;
    case item::full_screen:
        return outcome::full_screen;
    }
    return outcome::none;
}

std::string pause_menu::line(item i, const settings& prefs, shown_state state) {
    switch (i) {
    case item::resume:
        return "RESUME";
    case item::music:
        return "MUSIC " + std::to_string(prefs.music_volume) + "%";
    case item::effects:
        return "EFFECTS " + std::to_string(prefs.effects_volume) + "%";
    case item::sound:
        return "SOUND " + on_off(!prefs.mute);
    case item::smooth:
        return "SMOOTH MOTION " + on_off(state.smooth);
    case item::full_screen:
        return "FULL SCREEN " + on_off(state.full_screen);
    case item::quit:
        return "QUIT";
    }
    return {};
}

void pause_menu::show(const settings& prefs, shown_state state) {
    for (size_t i = 0; i < items.size(); ++i) {
        const bool marked = i == chosen;
        const std::string shown =
            marked ? "> " + line(items[i], prefs, state) + " <" : line(items[i], prefs, state);
        // A rebuild costs a material a glyph; most keys change one line or none.
        if (lines[i]->get_string() != shown) {
            lines[i]->set_string(shown);
        }
        lines[i]->set_colour(marked ? chosen_colour : line_colour);
    }
}

void pause_menu::place(int width, int height, float pause_size, int scale) {
    const float k = static_cast<float>(scale);
    // From just under the pause text down to the bottom edge, one line a pitch.
    const float top = static_cast<float>(height) / 2.0f - pause_size / 2.0f - 6.0f * k;
    const float room = top - 4.0f;
    const float pitch = std::min(20.0f * k, std::floor(room / static_cast<float>(lines.size())));
    const float size = std::floor(pitch * 0.8f);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i]->get_font_size() != size) {
            lines[i]->set_font_size(size);
        }
        if (lines[i]->get_normalized_origin() != glm::vec2(-0.5f)) {
            lines[i]->set_normalized_origin(glm::vec2(-0.5f));
        }
        const float y = top - pitch * (static_cast<float>(i) + 0.5f);
        lines[i]->set_pos(glm::vec2(std::round(static_cast<float>(width) / 2.0f), std::round(y)));
    }
}

std::vector<text*> pause_menu::get_texts() const {
    std::vector<text*> texts;
    for (const auto& t : lines) {
        texts.push_back(t.get());
    }
    return texts;
}

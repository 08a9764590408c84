#include "game/title_hints.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// The line count is fixed: the card's picture has room for this many.
constexpr size_t line_count = 6;
// The card's inner frame leaves this much of the picture's width for a line.
constexpr float widest_line = 568.0f;

const glm::vec3 key_colour(0.4f, 0.9f, 1.0f);
const glm::vec3 does_colour(1.0f);

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// The first key of an action by its SDL name, or "NONE" for an action left without keys.
std::string first_key(const key_bindings& keys, action a) {
    const auto& k = keys.keys_of(a);
    return k.empty() ? std::string("NONE") : upper(SDL_GetScancodeName(k.front()));
}

// The default keys' lines are worded as the card always had them; keys of the player's
// own are named one an action.
std::string named(const key_bindings& keys, std::initializer_list<action> actions,
                  const std::string& default_wording) {
    static const key_bindings defaults;
    const bool all_default = std::all_of(actions.begin(), actions.end(), [&keys](action a) {
        return keys.keys_of(a) == defaults.keys_of(a);
    });
    if (all_default) {
        return default_wording;
    }
    std::string out;
    for (const action a : actions) {
        out += (out.empty() ? "" : " / ") + first_key(keys, a);
    }
    return out;
}

} // namespace

std::vector<title_hints::hint> title_hints::lines(const key_bindings& keys, bool pad) {
    if (pad) {
        return {{"A / START", "START / PAUSE"},
                {"D-PAD / LEFT STICK", "YAW AND PITCH"},
                {"SHOULDERS", "ROLL"},
                {"B / RIGHT TRIGGER", "DOUBLE SPEED"},
                {named(keys, {action::fullscreen}, "F11"), "FULL SCREEN / WINDOW"},
                {"BACK + START", "QUIT"}};
    }
    return {
        {named(keys, {action::start}, "LEFT ALT"), "START / PAUSE"},
        {named(keys, {action::yaw_left, action::yaw_right, action::pitch_down, action::pitch_up},
               "ARROWS"),
         "YAW AND PITCH"},
        {named(keys, {action::roll_left, action::roll_right}, "RIGHT SHIFT / RIGHT CTRL"), "ROLL"},
        {named(keys, {action::double_speed}, "PG UP/DN, HOME, END"), "DOUBLE SPEED"},
        {named(keys, {action::fullscreen}, "F11"), "FULL SCREEN / WINDOW"},
        {named(keys, {action::quit}, "Q OR ESCAPE"), "QUIT"},
    };
}

title_hints::title_hints() {
    for (size_t i = 0; i < 2 * line_count; ++i) {
        texts.push_back(std::make_unique<text>());
        texts.back()->set_colour(i % 2 == 0 ? key_colour : does_colour);
    }
}

void title_hints::show(const key_bindings& keys, bool pad) {
    std::vector<hint> now = lines(keys, pad);
    const bool same = now.size() == shown.size() &&
                      std::equal(now.begin(), now.end(), shown.begin(), [](auto& a, auto& b) {
                          return a.keys == b.keys && a.does == b.does;
                      });
    if (same) {
        return;
    }
    shown = std::move(now);
    for (size_t i = 0; i < line_count; ++i) {
        texts[2 * i]->set_string(shown[i].keys + ": ");
        texts[2 * i + 1]->set_string(shown[i].does);
    }
    place(screen_width, screen_height, card);
}

void title_hints::place(int width, int height, glm::vec2 card_pixels) {
    screen_width = width;
    screen_height = height;
    card = card_pixels;
    if (shown.empty()) {
        return;
    }
    // Picture texels to screen pixels; the card is centred on the screen.
    const float texel = card.x / picture_width;
    const glm::vec2 top_left((static_cast<float>(width) - card.x) / 2.0f,
                             (static_cast<float>(height) + card.y) / 2.0f);
    for (size_t i = 0; i < line_count; ++i) {
        text& keys = *texts[2 * i];
        text& does = *texts[2 * i + 1];
        const size_t characters = keys.get_string().size() + does.get_string().size();
        // A long line of the player's keys narrows its glyphs to stay inside the frame.
        const float across =
            std::min(advance, widest_line / static_cast<float>(characters)) * texel;
        const float tall = glyph_height * texel;
        keys.set_glyph_size(tall, across);
        does.set_glyph_size(tall, across);
        // The glyph pictures leave a sixteenth of their height free above the letter.
        const float top = first_line + line_pitch * static_cast<float>(i) - glyph_height / 16.0f;
        const float left = top_left.x + (card.x - across * static_cast<float>(characters)) / 2.0f;
        const float bottom = top_left.y - (top * texel) - tall;
        keys.set_pos(glm::vec2(std::round(left), std::round(bottom)));
        does.set_pos(
            glm::vec2(std::round(left + across * static_cast<float>(keys.get_string().size())),
                      std::round(bottom)));
    }
}

std::vector<text*> title_hints::get_texts() const {
    std::vector<text*> out;
    for (const auto& t : texts) {
        out.push_back(t.get());
    }
    return out;
}

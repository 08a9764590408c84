#pragma once

#include "game/key_bindings.h"
#include "game/text.h"

#include <glm/glm.hpp>
#include <memory>
#include <string>
#include <vector>

// The title card's lines on the controls, written from the keys in use (or a controller's
// buttons while one is connected) and drawn over the card where its picture leaves room:
// each line's key in blue, then what it does in white.
class title_hints {
public:
    struct hint {
        std::string keys; // "LEFT ALT"
        std::string does; // "START / PAUSE"
    };
    // The picture's size in texels, and where the lines go in it: the first line's glyph
    // top, the distance between lines and the glyphs' advance and height.
    static constexpr float picture_width = 600.0f;
    static constexpr float picture_height = 384.0f;
    static constexpr float first_line = 186.0f;
    static constexpr float line_pitch = 29.0f;
    static constexpr float advance = 18.0f;
    static constexpr float glyph_height = 24.0f;

    // The lines for these keys, or for a controller's buttons when `pad` (the keyboard's
    // full-screen key stays, a controller has none).
    static std::vector<hint> lines(const key_bindings& keys, bool pad);

    title_hints();

    // Writes the lines anew; nothing is rebuilt when they stay as they are.
    void show(const key_bindings& keys, bool pad);
    // Fits the lines to a card drawn `card_pixels` large, centred on this screen.
    void place(int width, int height, glm::vec2 card_pixels);
    std::vector<text*> get_texts() const;

private:
    std::vector<hint> shown;
    // Each line's key part and the rest, in that order.
    std::vector<std::unique_ptr<text>> texts;
    int screen_width = 0;
    int screen_height = 0;
    glm::vec2 card{0.0f};
};

#pragma once

#include "game/text.h"

#include <glm/glm.hpp>
#include <vector>

// Keeps texts in their places on a screen of any size. A place is given in the pixels of a
// screen 480 rows high; on a taller screen every size and offset grows by the whole factor
// k = max(1, floor(height / 480)), so the nearest-sampled glyphs stay crisp and a 480-row
// screen keeps the places exactly as given.
class text_layout {
public:
    static constexpr int reference_height = 480;

    struct place {
        // The point of the screen the offset counts from: (0, 0) its lower-left corner,
        // (1, 1) its upper-right one.
        glm::vec2 anchor;
        // From the anchor to the text's position, in reference pixels.
        glm::vec2 offset;
        // The glyph size, in reference pixels.
        float font_size;
        // As text::set_normalized_origin: (0, 0) puts the lower-left corner on the position.
        glm::vec2 origin{0.0f, 0.0f};
        // The text's position stays at or above this share of the screen's height, so a
        // text can keep clear of something drawn below it on a short screen.
        float lowest = 0.0f;
    };

    static int scale_for(int height);

    // Places `t` now and again at every set_screen, as long as the layout lives.
    void add(text& t, const place& p);
    // Places every text for a screen of this many pixels.
    void set_screen(int width, int height);

    int get_scale() const { return scale; }
    // Where `p` puts a text on the current screen, and at what glyph size.
    glm::vec2 position_of(const place& p) const;
    float font_size_of(const place& p) const { return p.font_size * static_cast<float>(scale); }

private:
    void apply(text& t, const place& p) const;

    struct entry {
        text* t;
        place p;
    };
    std::vector<entry> entries;
    int width = reference_height;
    int height = reference_height;
    int scale = 1;
};

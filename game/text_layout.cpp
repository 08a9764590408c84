#include "game/text_layout.h"

#include <algorithm>

int text_layout::scale_for(int height) {
    return std::max(1, height / reference_height);
}

void text_layout::add(text& t, const place& p) {
    entries.push_back({&t, p});
    apply(t, p);
}

void text_layout::set_screen(int w, int h) {
    width = w;
    height = h;
    scale = scale_for(h);
    for (const entry& e : entries) {
        apply(*e.t, e.p);
    }
}

glm::vec2 text_layout::position_of(const place& p) const {
    const glm::vec2 screen(static_cast<float>(width), static_cast<float>(height));
    glm::vec2 pos = p.anchor * screen + p.offset * static_cast<float>(scale);
    pos.y = std::max(pos.y, p.lowest * screen.y);
    return pos;
}

void text_layout::apply(text& t, const place& p) const {
    // Rebuilding the glyphs costs a material each, so only a new size or origin does.
    if (t.get_font_size() != font_size_of(p)) {
        t.set_font_size(font_size_of(p));
    }
    if (t.get_normalized_origin() != p.origin) {
        t.set_normalized_origin(p.origin);
    }
    t.set_pos(position_of(p));
}

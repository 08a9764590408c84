#pragma once

#include <array>
#include <cstdint>

// A 5 by 7 bitmap font of upper-case letters, digits and ASCII punctuation, drawn here
// as rows of bits so the game's glyphs are our own and come out the same on every build.
class pixel_font {
public:
    static constexpr int width = 5;
    static constexpr int height = 7;

    // Row 0 is the top row; bit 4 of a row is its leftmost pixel.
    using bitmap = std::array<std::uint8_t, height>;

    // Lower-case letters map to their capitals; a character the font lacks has no glyph.
    static bool has(char c);
    static const bitmap& glyph(char c);
    static bool pixel(char c, int x, int y);
};

#pragma once

#include <map>
#include <string>

// Which characters the font has and the file name (without extension) of each glyph
// picture in "textures/font". Kept apart from text, which needs GL, so that the asset
// maker can write the font without linking the renderer.
class glyph_table {
public:
    // A glyph's cell in its picture, in texels: the advance and the line's height. The
    // picture itself may be larger, centred on the cell, to carry an outline past it.
    static constexpr int cell = 32;
    static constexpr int picture = 36;
    // Upper case only: text looks characters up after toupper.
    static const std::map<char, std::string>& names();
};

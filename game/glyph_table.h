#pragma once

#include <map>
#include <string>

// Which characters the font has and the file name (without extension) of each glyph
// picture in "textures/font". Kept apart from text, which needs GL, so that the asset
// maker can write the font without linking the renderer.
class glyph_table {
public:
    // Upper case only: text looks characters up after toupper.
    static const std::map<char, std::string>& names();
};

#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Writes the game's data files under a stage folder: glyph pictures, the title picture,
// music, sound effects and the desktop icon, each generated here and the same on every run.
namespace assets {

// The font is made for the game's own glyph table, glyph_table::names().
// Each returns false after printing what failed.
bool make_font(const std::string& folder);
// The title card's picture: 600 by 384, the card's area on an 800x480 screen.
constexpr int title_width = 600;
constexpr int title_height = 384;
bool make_title(const std::string& path);
// The music and the effects, under their names in the stage folder.
bool make_music(const std::string& stage);
bool make_effects(const std::string& stage);
// The desktop icon at each size, laid out as in an icon theme: <size>x<size>/apps/ardlow.png.
bool make_icons(const std::string& folder);
bool make_all(const std::string& stage);

// Every file make_all writes, relative to the stage folder.
std::vector<std::string> files();
// Whether every one of files() is in the stage and written no earlier than `maker_time`,
// the asset maker's own build: then there is nothing to make.
bool up_to_date(const std::string& stage, const std::filesystem::file_time_type& maker_time);

} // namespace assets

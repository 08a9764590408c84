#pragma once

// The game's data files, relative to the data folder: the game reads them by these names and
// the asset maker writes them under the same ones. The glyph pictures are named by
// glyph_table, in font_folder, one "<name>.png" each.
namespace data_files {

inline constexpr const char* title_picture = "textures/title.png";
inline constexpr const char* font_folder = "textures/font";
inline constexpr const char* title_music = "music/Ouroboros.ogg";
inline constexpr const char* game_music = "music/Buff Proof.ogg";
inline constexpr const char* death_sound = "sfx/Blast(1).wav";
inline constexpr const char* pickup_sound = "sfx/167338__plimbo__pup-fat.wav";
// Not made by the asset maker: controller mappings a port may bring, read when there.
inline constexpr const char* controller_mappings = "gamecontrollerdb.txt";

} // namespace data_files

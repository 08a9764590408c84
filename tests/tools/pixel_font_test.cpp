#include "asset_maker/assets.h"
#include "asset_maker/pixel_font.h"

#include <gtest/gtest.h>
#include <set>

namespace {

int lit(char c) {
    int n = 0;
    for (int y = 0; y < pixel_font::height; ++y) {
        for (int x = 0; x < pixel_font::width; ++x) {
            n += pixel_font::pixel(c, x, y) ? 1 : 0;
        }
    }
    return n;
}

} // namespace

TEST(pixel_font, draws_every_character_the_glyph_files_name) {
    std::set<pixel_font::bitmap> shapes;
    for (const auto& [c, name] : assets::glyph_files()) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(pixel_font::has(c));
        if (c == ' ') {
            EXPECT_EQ(lit(c), 0);
        } else {
            EXPECT_GT(lit(c), 0);
            shapes.insert(pixel_font::glyph(c));
        }
    }
    EXPECT_EQ(shapes.size(), assets::glyph_files().size() - 1) << "two characters look alike";
    // The title uses an X even though the game's text has no file for it.
    EXPECT_GT(lit('X'), 0);
}

TEST(pixel_font, lower_case_draws_as_capitals) {
    EXPECT_EQ(pixel_font::glyph('a'), pixel_font::glyph('A'));
    EXPECT_EQ(pixel_font::glyph('z'), pixel_font::glyph('Z'));
    EXPECT_NE(pixel_font::glyph('a'), pixel_font::glyph('B'));
}

TEST(pixel_font, unknown_characters_and_positions_are_blank) {
    EXPECT_FALSE(pixel_font::has('\t'));
    EXPECT_FALSE(pixel_font::has('\x7f'));
    EXPECT_FALSE(pixel_font::has(static_cast<char>(0xC3)));
    EXPECT_EQ(lit('\t'), 0);
    EXPECT_EQ(lit(static_cast<char>(0xC3)), 0);
    // 'L' fills its left column, which must not bleed outside the cell.
    EXPECT_TRUE(pixel_font::pixel('L', 0, 0));
    EXPECT_FALSE(pixel_font::pixel('L', -1, 0));
    EXPECT_FALSE(pixel_font::pixel('L', 0, pixel_font::height));
    EXPECT_FALSE(pixel_font::pixel('L', pixel_font::width, pixel_font::height - 1));
}

TEST(glyph_files, follow_the_games_naming) {
    const auto& files = assets::glyph_files();
    ASSERT_EQ(files.size(), 68u);
    std::set<char> characters;
    std::set<std::string> names;
    for (const auto& [c, name] : files) {
        characters.insert(c);
        names.insert(name);
    }
    EXPECT_EQ(characters.size(), 68u);
    EXPECT_EQ(names.size(), 68u);
    EXPECT_FALSE(characters.count('X'));
    EXPECT_FALSE(characters.count('a'));
    EXPECT_TRUE(names.count("ua"));
    EXPECT_TRUE(names.count("uz"));
    EXPECT_FALSE(names.count("ux"));
    EXPECT_TRUE(names.count("thing"));
}

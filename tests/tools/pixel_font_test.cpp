#include "asset_maker/assets.h"
#include "asset_maker/pixel_font.h"
#include "game/text.h"

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
    for (const auto& [c, name] : text::glyph_names()) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(pixel_font::has(c));
        if (c == ' ') {
            EXPECT_EQ(lit(c), 0);
        } else {
            EXPECT_GT(lit(c), 0);
            shapes.insert(pixel_font::glyph(c));
        }
    }
    EXPECT_EQ(shapes.size(), text::glyph_names().size() - 1) << "two characters look alike";
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

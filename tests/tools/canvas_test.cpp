#include "image/canvas.h"

#include <gtest/gtest.h>

TEST(canvas, blends_over_draws_text_in_scaled_blocks_and_lines_with_both_ends_and_dashes) {
    canvas c(4, 4);
    // Over nothing, a half-transparent colour keeps its colour and its alpha.
    c.blend(1, 1, glm::vec4(1.0f, 0.0f, 0.0f, 0.5f));
    EXPECT_EQ(c.get(1, 1), glm::u8vec4(255, 0, 0, 128));

    // Over an opaque colour the result is opaque and half-way between.
    c.set(2, 2, glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
    c.blend(2, 2, glm::vec4(1.0f, 0.0f, 0.0f, 0.5f));
    EXPECT_EQ(c.get(2, 2), glm::u8vec4(128, 0, 128, 255));

    // Painting off the picture is ignored.
    c.fill_rect(-2, -2, 3, 3, glm::vec4(1.0f));
    EXPECT_EQ(c.get(0, 0), glm::u8vec4(255));
    EXPECT_EQ(c.get(1, 0), glm::u8vec4(0));
    EXPECT_EQ(c.get(-1, 0), glm::u8vec4(0));

    canvas t(64, 32);
    t.text("L", 2, 3, 3, 2, glm::vec4(1.0f));
    // The stem is 3 texels wide and 7 rows of 2 high; only the foot spans 5 columns.
    EXPECT_EQ(t.get(4, 3).a, 255);
    EXPECT_EQ(t.get(5, 3).a, 0);
    EXPECT_EQ(t.get(2, 2).a, 0);
    EXPECT_EQ(t.get(2 + 5 * 3 - 1, 3 + 6 * 2 + 1).a, 255);
    EXPECT_EQ(t.get(2 + 5 * 3, 3 + 6 * 2).a, 0);
    EXPECT_EQ(t.get(2, 3 + 7 * 2).a, 0);
    EXPECT_EQ(canvas::text_width("LL", 3), 33); // one blank column between characters

    canvas l(16, 16);
    const glm::vec4 ink(1.0f);
    l.line(1, 1, 11, 6, ink);
    EXPECT_TRUE(l.get(1, 1).a == 255 && l.get(11, 6).a == 255);
    // One pixel per column along the longer axis.
    for (int x = 1; x <= 11; ++x) {
        int set = 0;
        for (int y = 0; y < 16; ++y) {
            set += l.get(x, y).a == 255;
        }
        EXPECT_EQ(set, 1) << x;
    }

    canvas d(16, 4);
    d.line(0, 2, 11, 2, ink, 3);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(d.get(x, 2).a, (x / 3) % 2 == 0 ? 255 : 0) << x;
    }
    // Off the picture nothing is painted and nothing breaks.
    d.line(-5, -5, 40, 40, ink);
    EXPECT_EQ(d.get(3, 3).a, 255);
}

#include "game/text.h"

#include "engine/intersections/volume.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The staged font, drawn as the game's overlay: a unit a pixel, origin bottom left.
class text_test : public ::testing::Test {
protected:
    void SetUp() override {
        text::init();
        t.set_font_size(20);
    }
    void TearDown() override { text::destroy(); }

    // The red of each pixel, drawn over white or black, which tells white glyph from black.
    std::vector<unsigned char> red(float background) {
        glClearColor(background, background, background, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const glm::mat4 projection = glm::ortho(0.0f, 440.0f, 0.0f, 40.0f, -1000.0f, 1000.0f);
        t.get_model()->draw(projection, tulk::intersections::volume(projection), nullptr, nullptr);
        const std::vector<unsigned char> rgba = ctx.pixels();
        std::vector<unsigned char> red;
        for (size_t i = 0; i < rgba.size(); i += 4) {
            red.push_back(rgba[i]);
        }
        return red;
    }

    void expect_readable();

    test_context ctx{440, 40};
    const std::string dir = enter_game_copy();
    text t;
};

} // namespace

TEST_F(text_test, a_centred_line_draws_upright_glyphs_left_to_right_and_rebuilds_whole) {
    t.set_normalized_origin(glm::vec2(-0.5f, -0.5f));
    t.set_pos(glm::vec2(220, 20));
    t.set_string("_'");
    // The underscore's strokes lie left of x = 220 and below y = 20; the apostrophe's not.
    const std::vector<unsigned char> over_black = red(0);
    int low = 0, high = 0;
    for (int y = 10; y < 30; ++y) {
        for (int x = 200; x < 240; ++x) {
            low += over_black[y * 440 + x] == 255 && x < 220 && y < 20;
            high += over_black[y * 440 + x] == 255 && x >= 220 && y >= 20;
        }
    }
    EXPECT_TRUE(low > 0 && high > 0);
    EXPECT_EQ(low + high, std::count(over_black.begin(), over_black.end(), 255));

    // Lower and upper case share a glyph; 'X' has none; no old glyph is left behind.
    t.set_string("aAX");
    ASSERT_EQ(t.get_model()->get_child_count(), 3u);
    const auto glyph = [&](size_t i) { return t.get_model()->get_child(i)->get_texture(0); };
    EXPECT_EQ(glyph(0)->name(), "ua.png");
    EXPECT_TRUE(glyph(1) == glyph(0) && glyph(2) == nullptr);
}

// At every size the game draws, from the high score's 12 pixels to the pause text's 30, a
// stroke pixel stays white over white, and every neighbour is stroke or dark: a dark ring
// at least a pixel wide.
TEST_F(text_test, a_drawn_score_reads_over_white_and_over_black_at_every_size) {
    for (const float size : {12.0f, 20.0f, 30.0f}) {
        SCOPED_TRACE(size);
        t.set_font_size(size);
        expect_readable();
    }
}

void text_test::expect_readable() {
    t.set_pos(glm::vec2(10, 5));
    t.set_string("SCORE: 90 @#%:");
    const std::vector<unsigned char> over[2] = {red(0), red(1)};
    int strokes = 0, exposed = 0;
    for (int y = 1; y < 39; ++y) {
        for (int x = 1; x < 439; ++x) {
            if (over[0][y * 440 + x] == 255) {
                ++strokes;
                exposed += over[1][y * 440 + x] != 255;
                for (const int n :
                     {y * 440 + x - 1, y * 440 + x + 1, y * 440 + x - 440, y * 440 + x + 440}) {
                    exposed += over[0][n] != 255 && over[1][n] > 64;
                }
            }
        }
    }
    EXPECT_GT(strokes, 20 * t.get_font_size());
    EXPECT_EQ(exposed, 0);
}

#include "game/text.h"

#include "engine/intersections/volume.h"
#include "engine/io/png.h"
#include "game/glyph_table.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <filesystem>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tulk::graphics::model;

namespace {

const glm::u8vec4 top(255, 0, 0, 255);    // upper row of every glyph picture
const glm::u8vec4 bottom(0, 255, 0, 255); // lower row
const glm::u8vec4 black(0, 0, 0, 255);

// Draws as the game draws its overlay: one unit per pixel, origin at the bottom left.
void draw_overlay(text& t, float width, float height) {
    const glm::mat4 projection = glm::ortho(0.0f, width, 0.0f, height, -1000.0f, 1000.0f);
    t.get_model()->draw(projection, tulk::intersections::volume(projection), nullptr, nullptr);
}

// Runs each test in a fresh directory whose "textures/font" holds a 2 x 2 picture, red
// above green, for every glyph of the table, so that an upright glyph is easy to see.
class text_test : public ::testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir();
        fs::current_path(dir);
        fs::create_directories("textures/font");
        const std::vector<unsigned char> rgba = {255, 0,   0, 255, 255, 0,   0, 255,
                                                 0,   255, 0, 255, 0,   255, 0, 255};
        for (const auto& [c, name] : glyph_table::names()) {
            ASSERT_EQ(tulk::io::png::write("textures/font/" + name + ".png", rgba, 2, 2), 0u);
        }
        text::init();
    }
    void TearDown() override {
        text::destroy();
        fs::remove_all(dir);
    }

    test_context ctx{200, 80};
    std::string dir;
};

} // namespace

TEST_F(text_test, a_centred_line_draws_upright_glyphs_left_to_right_and_rebuilds_whole) {
    text t;
    t.set_font_size(20);
    t.set_normalized_origin(glm::vec2(-0.5f, -0.5f));
    t.set_pos(glm::vec2(100, 40));
    t.set_string("score: 0");
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_overlay(t, 200, 80);
    // Glyph i spans x from 20 + 20i to 40 + 20i and y from 30 to 50; the space shows nothing.
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ctx.pixel(30 + 20 * i, 45), i == 6 ? black : top) << i;
        EXPECT_EQ(ctx.pixel(30 + 20 * i, 35), i == 6 ? black : bottom) << i;
    }
    EXPECT_EQ(ctx.pixel(15, 40), black);
    EXPECT_EQ(ctx.pixel(185, 40), black);
    EXPECT_EQ(ctx.pixel(50, 55), black);

    // Appending a character rebuilds the line, destroying the old glyph models.
    const size_t models = model::sModels.size();
    t.add('!');
    EXPECT_EQ(t.get_model()->get_child_count(), 9u);
    EXPECT_EQ(model::sModels.size(), models + 1);

    // Lower and upper case share a glyph; 'X' has none and leaves a null entry behind.
    t.set_string("aAX");
    const auto glyph = [&](size_t i) { return t.get_model()->get_child(i)->get_texture(0); };
    EXPECT_EQ(glyph(0)->name(), "ua.png");
    EXPECT_EQ(glyph(1), glyph(0));
    EXPECT_EQ(glyph(2), nullptr);
}

// The staged glyphs as the game draws its score, 20 pixels high: a white stroke pixel
// (white over black) stays white over a white wall bar, and where it meets no other
// stroke pixel it meets a dark one.
TEST(staged_glyphs, text_reads_over_white_and_over_black) {
    test_context ctx(440, 40);
    const std::string dir = enter_game_copy();
    text::init();
    text t;
    t.set_font_size(20);
    t.set_pos(glm::vec2(10, 10));
    t.set_string("SCORE: 1234567890 @#%");
    std::vector<unsigned char> over[2];
    for (const int white : {0, 1}) {
        glClearColor(white, white, white, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_overlay(t, 440, 40);
        over[white] = ctx.pixels();
    }
    // Red alone tells white from black here: the glyphs hold nothing else.
    const auto red = [&](int white, int x, int y) { return over[white][(y * 440 + x) * 4]; };
    int strokes = 0;
    int exposed = 0;
    for (int y = 1; y < 39; ++y) {
        for (int x = 1; x < 439; ++x) {
            if (red(0, x, y) == 255) {
                ++strokes;
                exposed += red(1, x, y) != 255;
                for (const auto& [nx, ny] :
                     {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                    exposed += red(0, nx, ny) != 255 && red(1, nx, ny) > 64;
                }
            }
        }
    }
    EXPECT_GT(strokes, 500);
    EXPECT_EQ(exposed, 0);
    text::destroy();
    fs::remove_all(dir);
}

#include "game/text.h"

#include "engine/io/png.h"
#include "game/glyph_table.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tulk::graphics::model;

namespace {

const glm::u8vec4 top(255, 0, 0, 255);    // upper row of every glyph picture
const glm::u8vec4 bottom(0, 255, 0, 255); // lower row
const glm::u8vec4 black(0, 0, 0, 255);

// Runs each test in a fresh directory whose "textures/font" holds a 2 x 2 picture, red
// above green, for every glyph of the table, so that an upright glyph is easy to see.
class text_test : public ::testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir();
        fs::current_path(dir);
        fs::create_directories("textures/font");
        const std::vector<unsigned char> rgba = {
            top.r,    top.g,    top.b,    top.a,    top.r,    top.g,    top.b,    top.a,
            bottom.r, bottom.g, bottom.b, bottom.a, bottom.r, bottom.g, bottom.b, bottom.a};
        for (const auto& [c, name] : glyph_table::names()) {
            ASSERT_EQ(tulk::io::png::write("textures/font/" + name + ".png", rgba, 2, 2), 0u);
        }
    }
    void TearDown() override {
        text::destroy();
        fs::remove_all(dir);
    }

    std::vector<model*> glyphs(text& t) {
        std::vector<model*> out;
        for (unsigned i = 0; t.get_model()->get_child(i) != nullptr; ++i) {
            out.push_back(t.get_model()->get_child(i));
        }
        return out;
    }

    test_context ctx{200, 80};
    std::string dir;
};

// The game's overlay camera: one unit per pixel, origin at the bottom left.
tulk::graphics::camera overlay_camera(int width, int height) {
    tulk::graphics::camera overlay;
    overlay.set_projection(tulk::graphics::camera::orthographic);
    overlay.set_view_height(static_cast<float>(height));
    overlay.set_aspect_ratio(static_cast<float>(width) / static_cast<float>(height));
    overlay.set_z_near(-1000);
    overlay.set_z_far(1000);
    overlay.set_up(glm::vec3(0, 1, 0));
    overlay.set_centre(glm::vec3(width / 2.0f, height / 2.0f, -1));
    overlay.set_eye(glm::vec3(width / 2.0f, height / 2.0f, 0));
    return overlay;
}

} // namespace

TEST_F(text_test, glyphs_run_left_to_right_from_the_origin_and_ignore_case) {
    text::init();
    text t;
    t.set_font_size(30);
    t.set_normalized_origin(glm::vec2(-0.5f, -0.5f)); // centred on the position
    t.set_string("paused");
    EXPECT_EQ(t.get_length(), 180.0f);
    EXPECT_EQ(glyphs(t).front()->get_pos(), glm::vec3(-75, 0, 0));
    EXPECT_EQ(glyphs(t).back()->get_pos(), glm::vec3(75, 0, 0));
    EXPECT_EQ(glyphs(t).back()->get_size(), glm::vec3(30.0f));

    // Appending a character rebuilds the line, destroying the old glyph models.
    const size_t models = model::sModels.size();
    t.add('!');
    ASSERT_EQ(glyphs(t).size(), 7u);
    EXPECT_EQ(glyphs(t).front()->get_pos(), glm::vec3(-90, 0, 0));
    EXPECT_EQ(glyphs(t).back()->get_texture(0)->name(), "exclamation.png");
    EXPECT_EQ(model::sModels.size(), models + 1);

    // Lower and upper case share a glyph; 'X' has none and leaves a null entry behind.
    t.set_string("aAX ");
    const auto g = glyphs(t);
    EXPECT_EQ(g[0]->get_texture(0)->name(), "ua.png");
    EXPECT_EQ(g[1]->get_texture(0), g[0]->get_texture(0));
    EXPECT_EQ(g[2]->get_texture(0), nullptr);
    EXPECT_FALSE(g[3]->get_visible()); // the space
}

TEST_F(text_test, a_drawn_score_shows_upright_glyphs_with_a_gap_for_the_space) {
    text::init();
    const tulk::graphics::camera overlay = overlay_camera(200, 80);

    text t;
    t.set_font_size(20);
    t.set_pos(glm::vec2(8, 20));
    t.set_string("score: 0");
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    t.get_model()->draw(overlay.get_view_projection_matrix(), overlay.get_frustum(), nullptr,
                        nullptr);

    // Glyph i spans x from 8 + 20i to 28 + 20i and y from 20 to 40.
    for (int i = 0; i < 8; ++i) {
        const int x = 18 + 20 * i;
        EXPECT_EQ(ctx.pixel(x, 35), i == 6 ? black : top) << i;
        EXPECT_EQ(ctx.pixel(x, 25), i == 6 ? black : bottom) << i;
    }
    EXPECT_EQ(ctx.pixel(172, 30), black);
    EXPECT_EQ(ctx.pixel(50, 45), black);
}

// The staged glyphs as the game draws its score, 20 pixels high: a white stroke pixel
// (white over black) stays white over a white wall bar, and where it meets no other
// stroke pixel it meets a dark one.
TEST(staged_glyphs, text_reads_over_white_and_over_black) {
    test_context ctx(440, 40);
    const std::string dir = enter_game_copy();
    text::init();
    const tulk::graphics::camera overlay = overlay_camera(440, 40);
    text t;
    t.set_font_size(20);
    t.set_pos(glm::vec2(10, 10));
    t.set_string("SCORE: 1234567890 @#%");
    std::vector<unsigned char> over[2];
    for (const int white : {0, 1}) {
        glClearColor(white, white, white, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        t.get_model()->draw(overlay.get_view_projection_matrix(), overlay.get_frustum(), nullptr,
                            nullptr);
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

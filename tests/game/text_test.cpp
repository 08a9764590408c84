#include "game/text.h"

#include "engine/graphics/camera.h"
#include "engine/graphics/geometry.h"
#include "engine/io/png.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::model;
using tulk::graphics::texture;

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 80;

const glm::u8vec4 kTop(255, 0, 0, 255);    // upper half of every glyph picture
const glm::u8vec4 kBottom(0, 255, 0, 255); // lower half
const glm::u8vec4 kBlack(0, 0, 0, 255);

// A 2 x 2 glyph picture, top row kTop, bottom row kBottom, so an upright glyph on
// screen is red above green and an untextured one is plain white.
void write_glyph(const std::string& path) {
    const std::vector<unsigned char> rgba = {
        kTop.r,    kTop.g,    kTop.b,    kTop.a,    kTop.r,    kTop.g,    kTop.b,    kTop.a,
        kBottom.r, kBottom.g, kBottom.b, kBottom.a, kBottom.r, kBottom.g, kBottom.b, kBottom.a,
    };
    ASSERT_EQ(tulk::io::png::write(path, rgba, 2, 2), 0u);
}

// Runs each test in a fresh directory holding its own "textures/font" folder.
class text_test : public ::testing::Test {
protected:
    void SetUp() override {
        previous = fs::current_path();
        dir = make_temp_dir();
        fs::current_path(dir);
        fs::create_directories("textures/font");
    }

    void TearDown() override {
        text::destroy();
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    // Every glyph of the table except those named in `missing`.
    void write_font(const std::set<std::string>& missing = {}) {
        for (const auto& [c, name] : text::glyph_names()) {
            if (missing.count(name) == 0) {
                write_glyph("textures/font/" + name + ".png");
            }
        }
    }

    test_context ctx{kWidth, kHeight};
    fs::path previous;
    std::string dir;
};

std::vector<model*> glyphs(text& t) {
    std::vector<model*> out;
    for (unsigned i = 0; t.get_model()->get_child(i) != nullptr; ++i) {
        out.push_back(t.get_model()->get_child(i));
    }
    return out;
}

} // namespace

TEST_F(text_test, init_fills_the_glyph_table_from_the_font_folder) {
    write_font({"uq"});
    write_glyph("textures/font/unused.png");
    // Only the last extension is cut: this one is "ua.old", not a second "ua".
    write_glyph("textures/font/ua.old.png");
    text::init();

    EXPECT_EQ(text::sFontMap.size(), 68u);
    EXPECT_EQ(text::sFontMap.count('X'), 0u);
    EXPECT_EQ(text::sFontMap.count('a'), 0u);
    EXPECT_EQ(text::sFontMap.at('Q'), nullptr); // its file is missing
    for (const auto& [c, name] : text::glyph_names()) {
        if (c == 'Q') {
            continue;
        }
        ASSERT_NE(text::sFontMap.at(c), nullptr) << name;
        EXPECT_EQ(text::sFontMap.at(c)->name(), name + ".png");
    }
    EXPECT_EQ(text::sFontMap.at('0')->name(), "0.png");
    EXPECT_EQ(text::sFontMap.at('`')->name(), "thing.png");
    EXPECT_EQ(text::sFontMap.at(' ')->name(), "space.png");
    EXPECT_EQ(text::sFontMap.at('Z')->name(), "uz.png");
    EXPECT_EQ(text::sFontMap.at('A')->get_width(), 2u);

    text::destroy();
    EXPECT_TRUE(text::sFontMap.empty());
    // Texts built afterwards find no glyphs.
    text t;
    t.set_string("a");
    ASSERT_EQ(t.get_model()->get_child_count(), 1u);
    EXPECT_EQ(t.get_model()->get_child(0)->get_texture(0), nullptr);
}

TEST_F(text_test, a_missing_font_folder_leaves_every_glyph_null) {
    fs::remove_all("textures");
    text::init();
    EXPECT_EQ(text::sFontMap.size(), 68u);
    for (const auto& [c, glyph] : text::sFontMap) {
        EXPECT_EQ(glyph, nullptr) << c;
    }
}

TEST_F(text_test, a_file_that_is_not_a_png_ends_init) {
    write_font();
    std::ofstream("textures/font/notes.txt") << "not a picture\n";
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            text::init();
        },
        ::testing::ExitedWithCode(255), "error loading texture textures/font/notes.txt: ");
}

TEST_F(text_test, a_new_text_is_an_empty_root) {
    text t;
    EXPECT_EQ(t.get_string(), "");
    EXPECT_EQ(t.get_font_size(), 10.0f);
    EXPECT_EQ(t.get_length(), 0.0f);
    EXPECT_EQ(t.get_model()->get_child(0), nullptr);
    EXPECT_EQ(t.get_model()->get_size(), glm::vec3(0.0f));
    EXPECT_FALSE(t.get_model()->get_depth_test());
    EXPECT_EQ(t.get_model()->get_geometry(), tulk::graphics::geometry::find("square"));

    t.set_string("abc");
    t.set_string("");
    EXPECT_EQ(t.get_model()->get_child(0), nullptr);
    EXPECT_EQ(t.get_length(), 0.0f);
}

TEST_F(text_test, glyphs_are_placed_left_to_right_from_the_lower_left_corner) {
    write_font();
    text::init();
    text t;
    t.set_font_size(20);
    t.set_string("score: ");

    EXPECT_EQ(t.get_length(), 140.0f);
    const auto g = glyphs(t);
    ASSERT_EQ(g.size(), 7u);
    for (size_t i = 0; i < g.size(); ++i) {
        EXPECT_EQ(g[i]->get_pos(), glm::vec3(10.0f + 20.0f * i, 10.0f, 0.0f)) << i;
        EXPECT_EQ(g[i]->get_size(), glm::vec3(20.0f));
        EXPECT_EQ(g[i]->get_geometry(), tulk::graphics::geometry::find("square"));
        EXPECT_EQ(g[i]->get_visible(), i != 6) << i; // the trailing space is hidden
        EXPECT_TRUE(g[i]->get_transparent());
        EXPECT_FALSE(g[i]->get_depth_test());
        EXPECT_EQ(g[i]->get_parent(), t.get_model());
    }
    EXPECT_EQ(g[0]->get_texture(0), text::sFontMap.at('S'));
    EXPECT_EQ(g[5]->get_texture(0), text::sFontMap.at(':'));
    EXPECT_EQ(g[6]->get_texture(0), text::sFontMap.at(' '));
    for (unsigned slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(g[1]->get_texture(slot), text::sFontMap.at('C'));
    }

    // Moving the text keeps its glyphs and carries them along.
    t.set_pos(glm::vec2(8, 180));
    EXPECT_EQ(t.get_pos(), glm::vec3(8, 180, 0));
    EXPECT_EQ(glyphs(t), g);
    EXPECT_EQ(g[3]->get_world_pos(), glm::vec3(8 + 70, 190, 0));
}

TEST_F(text_test, a_centred_origin_centres_the_box_on_the_position) {
    write_font();
    text::init();
    text t;
    t.set_font_size(30);
    t.set_normalized_origin(glm::vec2(-0.5f, -0.5f));
    t.set_string("paused");
    t.set_pos(glm::vec3(160, 120, 5));

    const auto g = glyphs(t);
    ASSERT_EQ(g.size(), 6u);
    const float centres[] = {-75, -45, -15, 15, 45, 75};
    for (size_t i = 0; i < g.size(); ++i) {
        EXPECT_EQ(g[i]->get_pos(), glm::vec3(centres[i], 0, 0)) << i;
    }
    EXPECT_EQ(g[0]->get_world_pos(), glm::vec3(85, 120, 5));
    EXPECT_EQ(g[0]->get_texture(0)->name(), "up.png");
    EXPECT_EQ(g[5]->get_texture(0)->name(), "ud.png");

    // A new size rebuilds the line around the same centre.
    t.set_font_size(10);
    EXPECT_EQ(t.get_length(), 60.0f);
    EXPECT_EQ(glyphs(t).front()->get_pos(), glm::vec3(-25, 0, 0));
    EXPECT_EQ(glyphs(t).back()->get_pos(), glm::vec3(25, 0, 0));
}

TEST_F(text_test, lower_and_upper_case_share_glyphs) {
    write_font();
    text::init();
    text lower, upper;
    lower.set_string("ab");
    upper.set_string("AB");
    const auto l = glyphs(lower);
    const auto u = glyphs(upper);
    ASSERT_EQ(l.size(), 2u);
    ASSERT_EQ(u.size(), 2u);
    EXPECT_EQ(l[0]->get_texture(0), u[0]->get_texture(0));
    EXPECT_EQ(l[1]->get_texture(0), u[1]->get_texture(0));
    EXPECT_EQ(l[0]->get_texture(0)->name(), "ua.png");
    EXPECT_EQ(l[1]->get_texture(0)->name(), "ub.png");
    EXPECT_EQ(text::sFontMap.size(), 68u); // no lower-case entries were added
}

TEST_F(text_test, characters_without_a_glyph_stay_untextured) {
    write_font();
    text::init();
    text t;
    t.set_string("X\xE9");
    const auto g = glyphs(t);
    ASSERT_EQ(g.size(), 2u);
    for (auto* glyph : g) {
        for (unsigned slot = 0; slot < 6; ++slot) {
            EXPECT_EQ(glyph->get_texture(slot), nullptr);
        }
        EXPECT_TRUE(glyph->get_visible());
    }
    ASSERT_EQ(text::sFontMap.count('X'), 1u);
    EXPECT_EQ(text::sFontMap.at('X'), nullptr);
    EXPECT_EQ(text::sFontMap.size(), 70u);
}

TEST_F(text_test, appending_rebuilds_every_glyph) {
    write_font();
    text::init();
    text t;
    t.set_string("paused");
    const size_t models_before = model::sModels.size();

    t.add('!');
    EXPECT_EQ(t.get_string(), "paused!");
    const auto g = glyphs(t);
    ASSERT_EQ(g.size(), 7u);
    EXPECT_EQ(t.get_length(), 70.0f);
    EXPECT_EQ(g[6]->get_texture(0)->name(), "exclamation.png");
    EXPECT_EQ(g[6]->get_pos(), glm::vec3(65, 5, 0));
    // The old glyph models were destroyed, not kept beside the new ones.
    EXPECT_EQ(model::sModels.size(), models_before + 1);

    t.add(std::string(" 12"));
    EXPECT_EQ(t.get_string(), "paused! 12");
    EXPECT_EQ(glyphs(t).size(), 10u);
    EXPECT_EQ(model::sModels.size(), models_before + 4);
}

TEST_F(text_test, colour_reaches_the_current_glyphs_only) {
    write_font();
    text::init();
    text t;
    t.set_string("ab");
    t.set_colour(glm::vec3(1, 0, 0.5f));
    EXPECT_EQ(t.get_colour(), glm::vec3(1, 0, 0.5f));
    for (auto* glyph : glyphs(t)) {
        EXPECT_EQ(glyph->get_colour(), glm::vec4(1, 0, 0.5f, 1));
    }
    t.add('c');
    for (auto* glyph : glyphs(t)) {
        EXPECT_EQ(glyph->get_colour(), glm::vec4(1, 1, 1, 1));
    }
    EXPECT_EQ(t.get_colour(), glm::vec3(1, 0, 0.5f));
}

TEST_F(text_test, a_drawn_score_shows_upright_glyphs_with_a_gap_for_the_space) {
    write_font();
    text::init();

    // The game's overlay camera: one unit per pixel, origin at the bottom left.
    tulk::graphics::camera overlay;
    overlay.set_projection(tulk::graphics::camera::orthographic);
    overlay.set_view_height(kHeight);
    overlay.set_aspect_ratio(static_cast<float>(kWidth) / kHeight);
    overlay.set_z_near(-1000);
    overlay.set_z_far(1000);
    overlay.set_up(glm::vec3(0, 1, 0));
    overlay.set_centre(glm::vec3(kWidth / 2.0f, kHeight / 2.0f, -1));
    overlay.set_eye(glm::vec3(kWidth / 2.0f, kHeight / 2.0f, 0));

    text t;
    t.set_font_size(20);
    t.set_pos(glm::vec2(8, 20));
    t.set_string("score: ");
    t.add("0");

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    t.get_model()->draw(overlay.get_view_projection_matrix(), overlay.get_frustum(), nullptr,
                        nullptr);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Glyph i spans x from 8 + 20i to 28 + 20i and y from 20 to 40.
    for (int i = 0; i < 8; ++i) {
        const int centre = 18 + 20 * i;
        if (i == 6) {
            EXPECT_EQ(ctx.pixel(centre, 35), kBlack) << "space";
            EXPECT_EQ(ctx.pixel(centre, 25), kBlack) << "space";
            continue;
        }
        EXPECT_EQ(ctx.pixel(centre, 35), kTop) << i;
        EXPECT_EQ(ctx.pixel(centre, 25), kBottom) << i;
    }
    // Nothing outside the text box.
    EXPECT_EQ(ctx.pixel(4, 30), kBlack);
    EXPECT_EQ(ctx.pixel(172, 30), kBlack);
    EXPECT_EQ(ctx.pixel(50, 45), kBlack);
    EXPECT_EQ(ctx.pixel(50, 15), kBlack);
}

TEST_F(text_test, the_games_own_font_supplies_every_glyph) {
    const char* stage = std::getenv("ARDLOW_STAGE_DIR");
    if (stage == nullptr || !fs::is_directory(fs::path(stage) / "textures/font")) {
        GTEST_SKIP() << "no staged font";
    }
    fs::current_path(stage);
    text::init();
    EXPECT_EQ(text::sFontMap.size(), 68u);
    for (const auto& [c, glyph] : text::sFontMap) {
        ASSERT_NE(glyph, nullptr) << "no glyph for '" << c << "'";
        EXPECT_GT(glyph->get_width(), 0u);
        EXPECT_GT(glyph->get_height(), 0u);
    }
}

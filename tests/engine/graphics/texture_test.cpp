#include "engine/graphics/geometry.h"
#include "engine/graphics/texture.h"
#include "engine/io/png.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <fstream>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <vector>

using tulk::graphics::texture;

namespace {

const std::vector<unsigned char> red = {255, 0, 0, 255};
const std::vector<unsigned char> blue = {0, 0, 255, 255};

// A 2 x 2 picture, red on top and blue below; returns its path.
std::string write_red_over_blue() {
    const std::string path = make_temp_dir() + "/red_over_blue.png";
    std::vector<unsigned char> rgba;
    for (const auto* row : {&red, &red, &blue, &blue}) {
        rgba.insert(rgba.end(), row->begin(), row->end());
    }
    EXPECT_EQ(tulk::io::png::write(path, rgba, 2, 2), 0u);
    return path;
}

// Encodes `raw` as a PNG of exactly the given colour type, not one lodepng would prefer.
std::string write_exact_png(const std::string& name, lodepng::State& state,
                            const std::vector<unsigned char>& raw, unsigned width) {
    state.encoder.auto_convert = 0;
    std::vector<unsigned char> file;
    EXPECT_EQ(lodepng::encode(file, raw, width, 1, state), 0u);
    const std::string path = make_temp_dir() + "/" + name;
    EXPECT_EQ(lodepng::save_file(file, path), 0u);
    return path;
}

std::vector<unsigned char> loaded_bytes(const texture::data& d) {
    return {d.get(), d.get() + static_cast<size_t>(d.width()) * d.height() * 4};
}

// The texture GL has bound on `unit`; leaves that unit active.
GLuint bound_texture(unsigned int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint id = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &id);
    return static_cast<GLuint>(id);
}

} // namespace

TEST(texture_data, rows_are_stored_bottom_first) {
    const texture::data d(write_red_over_blue(), texture::data::png);
    ASSERT_EQ(d.width(), 2u);
    ASSERT_EQ(d.height(), 2u);
    std::vector<unsigned char> expected;
    for (const auto* row : {&blue, &blue, &red, &red}) {
        expected.insert(expected.end(), row->begin(), row->end());
    }
    EXPECT_EQ(loaded_bytes(d), expected);
}

TEST(texture_data, grey_and_palette_pictures_load_as_rgba) {
    lodepng::State grey;
    grey.info_raw.colortype = LCT_GREY;
    grey.info_png.color.colortype = LCT_GREY;
    const texture::data g(write_exact_png("grey.png", grey, {0x10, 0xf0}, 2));
    ASSERT_EQ(g.width(), 2u);
    EXPECT_EQ(loaded_bytes(g),
              (std::vector<unsigned char>{0x10, 0x10, 0x10, 255, 0xf0, 0xf0, 0xf0, 255}));

    lodepng::State palette;
    for (LodePNGColorMode* mode : {&palette.info_raw, &palette.info_png.color}) {
        mode->colortype = LCT_PALETTE;
        lodepng_palette_add(mode, 10, 20, 30, 255);
        lodepng_palette_add(mode, 200, 100, 50, 128);
        lodepng_palette_add(mode, 0, 255, 0, 0);
    }
    const texture::data p(write_exact_png("palette.png", palette, {2, 0, 1}, 3));
    ASSERT_EQ(p.width(), 3u);
    EXPECT_EQ(loaded_bytes(p),
              (std::vector<unsigned char>{0, 255, 0, 0, 10, 20, 30, 255, 200, 100, 50, 128}));
}

TEST(texture_data, missing_file_ends_the_process_with_255) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            texture::data d("/nonexistent/glyph.png", texture::data::png);
        },
        testing::ExitedWithCode(255),
        "^error loading texture /nonexistent/glyph.png: failed to open file for reading\n$");
}

TEST(texture_data, corrupt_file_ends_the_process_with_255) {
    const std::string path = make_temp_dir() + "/corrupt.png";
    std::ofstream(path) << "This is a text file that was given a picture's name by mistake.";
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            texture::data d(path, texture::data::png);
        },
        testing::ExitedWithCode(255), "^error loading texture /tmp/.+/corrupt.png: .+\n$");
}

TEST(texture, picture_draws_upright_on_the_square) {
    test_context context(16, 16);
    const texture::data d(write_red_over_blue());
    texture picture("picture", d, texture::rgba);
    EXPECT_EQ(picture.get_width(), 2u);
    EXPECT_EQ(picture.get_height(), 2u);
    EXPECT_EQ(picture.name(), "picture");
    EXPECT_FALSE(picture.is_depth());
    picture.set_param(texture::min_filter, texture::nearest);
    picture.set_param(texture::mag_filter, texture::nearest);
    picture.set_param(texture::wrap_s, texture::clamp_to_edge);
    picture.set_param(texture::wrap_t, texture::clamp_to_edge);

    const auto program = use_test_program(
        "#version 100\n"
        "attribute vec3 position;\n"
        "attribute vec2 texcoords;\n"
        "varying vec2 uv;\n"
        "void main() { uv = texcoords; gl_Position = vec4(position.xy * 2.0, 0.0, 1.0); }\n",
        "#version 100\n"
        "precision mediump float;\n"
        "uniform sampler2D picture;\n"
        "varying vec2 uv;\n"
        "void main() { gl_FragColor = texture2D(picture, uv); }\n");
    program->set_uniform("picture", 3);
    picture.bind(3);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    tulk::graphics::geometry::find("square")->draw();
    EXPECT_EQ(context.pixel(8, 0), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(context.pixel(8, 15), glm::u8vec4(255, 0, 0, 255));
}

TEST(texture, rejected_parameter_value_keeps_the_setting) {
    test_context context;
    texture t("t", texture::rgba);
    t.set_param(texture::mag_filter, texture::nearest);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    t.set_param(texture::mag_filter, static_cast<texture::param_value>(7));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST);
}

TEST(texture, binding_the_bound_texture_again_issues_no_bind) {
    test_context context;
    texture a("a", texture::rgba);
    texture b("b", texture::rgba);
    a.bind(2);
    EXPECT_EQ(bound_texture(2), a.id());
    EXPECT_EQ(texture::bound_on(2), a.id());

    // Rebind behind the record's back: a bind the record skips leaves b in place.
    glBindTexture(GL_TEXTURE_2D, b.id());
    glActiveTexture(GL_TEXTURE0);
    a.bind(2);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE2) << "the unit is made active even when the bind is skipped";
    EXPECT_EQ(bound_texture(2), b.id());

    // Another unit, or another texture on the same unit, is bound for real.
    a.bind(3);
    EXPECT_EQ(bound_texture(3), a.id());
    b.bind(2);
    a.bind(2);
    EXPECT_EQ(bound_texture(2), a.id());

    // Once the record is reset, nothing is skipped.
    glBindTexture(GL_TEXTURE_2D, b.id());
    texture::reset_units();
    a.bind(2);
    EXPECT_EQ(bound_texture(2), a.id());
}

TEST(texture, destroying_a_texture_forgets_it_on_every_unit) {
    test_context context;
    texture other("other", texture::rgba);
    other.bind(5);
    auto* gone = new texture("gone", texture::rgba);
    gone->bind(1);
    gone->bind(4);
    delete gone;
    EXPECT_EQ(texture::bound_on(1), 0u);
    EXPECT_EQ(texture::bound_on(4), 0u);
    EXPECT_EQ(texture::bound_on(5), other.id());

    // GL may hand the freed name to the next texture; that one must still reach unit 1.
    texture next("next", texture::rgba);
    next.bind(1);
    EXPECT_EQ(bound_texture(1), next.id());
}

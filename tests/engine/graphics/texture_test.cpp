#include "engine/graphics/geometry.h"
#include "engine/graphics/texture.h"
#include "engine/io/png.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <fstream>
#include <gtest/gtest.h>
#include <vector>

using tulk::graphics::texture;

namespace {

// A 2 x 2 picture, red on top and blue below; returns its path.
std::string write_red_over_blue() {
    const std::string path = make_temp_dir() + "/red_over_blue.png";
    const std::vector<unsigned char> rgba = {255, 0, 0,   255, 255, 0, 0,   255,
                                             0,   0, 255, 255, 0,   0, 255, 255};
    EXPECT_EQ(tulk::io::png::write(path, rgba, 2, 2), 0u);
    return path;
}

// The texture GL has bound on `unit`; leaves that unit active.
GLuint bound_texture(unsigned int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint id = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &id);
    return static_cast<GLuint>(id);
}

} // namespace

TEST(texture_data, missing_corrupt_or_oversized_file_ends_the_process_with_255) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            texture::data d("/nonexistent/glyph.png", texture::data::png);
        },
        testing::ExitedWithCode(255),
        "^error loading texture /nonexistent/glyph.png: failed to open file for reading\n$");

    const std::string path = make_temp_dir() + "/corrupt.png";
    std::ofstream(path) << "This is a text file that was given a picture's name by mistake.";
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            texture::data d(path, texture::data::png);
        },
        testing::ExitedWithCode(255), "^error loading texture /tmp/.+/corrupt.png: .+\n$");

    // One the GPU could not hold is refused from its header, named like any other.
    test_context context(16, 16);
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    const unsigned int wide = static_cast<unsigned int>(most) + 1;
    ASSERT_EQ(tulk::io::png::write(path, std::vector<unsigned char>(wide * 4), wide, 1), 0u);
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            texture::data d(path, texture::data::png);
        },
        testing::ExitedWithCode(255),
        "^error loading texture /tmp/.+/corrupt.png: picture wider.+\n$");
}

// A picture file runs top row first, GL's textures bottom row first.
TEST(texture, picture_loads_bottom_row_first_and_draws_upright) {
    test_context context(16, 16);
    const texture::data d(write_red_over_blue(), texture::data::png);
    ASSERT_EQ(d.width(), 2u);
    ASSERT_EQ(d.height(), 2u);
    const std::vector<unsigned char> blue_then_red = {0,   0, 255, 255, 0,   0, 255, 255,
                                                      255, 0, 0,   255, 255, 0, 0,   255};
    EXPECT_EQ(std::vector<unsigned char>(d.get(), d.get() + 16), blue_then_red);

    texture picture("picture", d, texture::rgba);
    picture.set_param(texture::min_filter, texture::nearest);
    picture.set_param(texture::mag_filter, texture::nearest);
    picture.set_param(texture::wrap_s, texture::clamp_to_edge);
    picture.set_param(texture::wrap_t, texture::clamp_to_edge);
    const auto program = use_picture_program();
    program->set_uniform("picture", 3);
    picture.bind(3);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    tulk::graphics::geometry::find("square")->draw();
    EXPECT_EQ(context.pixel(8, 0), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(context.pixel(8, 15), glm::u8vec4(255, 0, 0, 255));
}

// Binds are recorded per unit so that a repeated bind costs no GL call; a destroyed
// texture's record must go, or a new texture given its name would never be bound.
TEST(texture, destroyed_texture_leaves_the_unit_record) {
    test_context context;
    texture kept("kept", texture::rgba);
    kept.bind(2);
    auto* gone = new texture("gone", texture::rgba);
    gone->bind(1);
    gone->bind(4);
    delete gone;
    EXPECT_EQ(texture::bound_on(1), 0u);
    EXPECT_EQ(texture::bound_on(4), 0u);
    EXPECT_EQ(texture::bound_on(2), kept.id());

    texture next("next", texture::rgba);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    next.bind(1);
    EXPECT_EQ(bound_texture(1), next.id());
}

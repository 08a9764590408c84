#include "engine/graphics/texture.h"

#include "engine/graphics/geometry.h"
#include "engine/io/png.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>
#include <vector>

using tulk::graphics::texture;

// A picture file runs top row first, GL's textures bottom row first.
TEST(texture, picture_loads_bottom_row_first_and_draws_upright_and_binds_are_recorded) {
    test_context context(16, 16);
    const std::string path = make_temp_dir() + "/red_over_blue.png";
    const std::vector<unsigned char> rgba = {255, 0, 0,   255, 255, 0, 0,   255,
                                             0,   0, 255, 255, 0,   0, 255, 255};
    ASSERT_EQ(tulk::io::png::write(path, rgba, 2, 2), 0u);
    texture picture("picture", texture::data(path, texture::data::png), texture::rgba);
    picture.set_param(texture::min_filter, texture::nearest);
    picture.set_param(texture::mag_filter, texture::nearest);
    const auto program = use_picture_program();
    program->set_uniform("picture", 3);
    picture.bind(3);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    tulk::graphics::geometry::find("square")->draw();
    EXPECT_EQ(context.pixel(8, 0), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(context.pixel(8, 15), glm::u8vec4(255, 0, 0, 255));

    // A destroyed texture's bind records go, or a new one given its name would never bind.
    texture kept("kept", texture::rgba);
    kept.bind(2);
    auto* gone = new texture("gone", texture::rgba);
    gone->bind(1);
    gone->bind(4);
    delete gone;
    EXPECT_EQ(texture::bound_on(4), 0u);
    EXPECT_EQ(texture::bound_on(2), kept.id());

    texture next("next", texture::rgba);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    next.bind(1);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), next.id());
}

#include "engine/graphics/framebuffer.h"
#include "engine/graphics/geometry.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <array>
#include <gtest/gtest.h>

using tulk::graphics::framebuffer;
using tulk::graphics::texture;

namespace {

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

texture* make_depth_texture(unsigned int width, unsigned int height) {
    auto* t = new texture("", texture::depth);
    t->set_data(width, height, nullptr);
    t->set_param(texture::min_filter, texture::nearest);
    t->set_param(texture::mag_filter, texture::nearest);
    t->set_param(texture::wrap_s, texture::clamp_to_edge);
    t->set_param(texture::wrap_t, texture::clamp_to_edge);
    return t;
}

} // namespace

// The shadow map's use: render depth only into a depth texture, then sample it in the window.
TEST(framebuffer, depth_rendered_into_a_texture_is_sampled_by_a_later_pass) {
    test_context context(64, 48);
    texture* depth = make_depth_texture(32, 32);
    framebuffer fb("", 32, 32);
    fb.attach_texture(depth);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 32, 32}));

    const auto& square = *tulk::graphics::geometry::find("square");
    // Depth pass: the square covers the left half at window depth 0.25.
    const auto depth_program =
        use_test_program("#version 100\n"
                         "attribute vec3 position;\n"
                         "void main() {\n"
                         "    gl_Position = vec4(position.x - 0.5, position.y * 2.0, -0.5, 1.0);\n"
                         "}\n",
                         "#version 100\n"
                         "precision mediump float;\n"
                         "void main() { gl_FragColor = vec4(1.0); }\n");
    fb.bind();
    glClearDepthf(1.0f);
    glClear(GL_DEPTH_BUFFER_BIT);
    square.draw();

    // Sampling pass in the window, whose viewport comes back with it.
    framebuffer::bind_default();
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 64, 48}));
    const auto program = use_picture_program();
    program->set_uniform("picture", 7);
    depth->bind(7);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    square.draw();
    EXPECT_NEAR(context.pixel(16, 24).r, 64, 2);
    EXPECT_NEAR(context.pixel(48, 24).r, 255, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete depth;
}

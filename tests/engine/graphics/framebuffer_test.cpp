#include "engine/graphics/framebuffer.h"
#include "engine/graphics/geometry.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <array>
#include <gtest/gtest.h>

using tulk::graphics::framebuffer;
using tulk::graphics::geometry;
using tulk::graphics::texture;

namespace {

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

GLuint bound_framebuffer() {
    GLint id = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &id);
    return static_cast<GLuint>(id);
}

// What the bound framebuffer has on its depth attachment: GL_NONE, GL_TEXTURE or
// GL_RENDERBUFFER, and the object's name.
std::pair<GLint, GLuint> depth_attachment() {
    GLint type = GL_NONE;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    GLint name = 0;
    if (type != GL_NONE) {
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                              GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    }
    return {type, static_cast<GLuint>(name)};
}

texture* make_texture(texture::format f, unsigned int width, unsigned int height) {
    auto* t = new texture("", f);
    t->set_data(width, height, nullptr);
    t->set_param(texture::min_filter, texture::nearest);
    t->set_param(texture::mag_filter, texture::nearest);
    t->set_param(texture::wrap_s, texture::clamp_to_edge);
    t->set_param(texture::wrap_t, texture::clamp_to_edge);
    return t;
}

} // namespace

TEST(framebuffer, bind_default_restores_the_window_viewport_and_unbind_does_not) {
    test_context context(64, 48);
    framebuffer fb("", 16, 8);
    fb.bind();
    EXPECT_NE(bound_framebuffer(), 0u);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 16, 8}));
    framebuffer::unbind();
    EXPECT_EQ(bound_framebuffer(), 0u);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 16, 8}));
    fb.bind();
    framebuffer::bind_default();
    EXPECT_EQ(bound_framebuffer(), 0u);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 64, 48}));
}

// The shadow map's use: render depth only into a depth texture, then sample it in the window.
TEST(framebuffer, depth_rendered_into_a_texture_is_sampled_by_a_later_pass) {
    test_context context(64, 64);
    texture* depth = make_texture(texture::depth, 32, 32);
    framebuffer fb("", 32, 32);
    fb.attach_texture(depth);
    EXPECT_EQ(fb.get_texture(), depth);
    EXPECT_NE(bound_framebuffer(), 0u) << "attaching leaves the framebuffer bound";
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 32, 32}));

    const geometry& square = *geometry::find("square");
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

    // Sampling pass in the window.
    framebuffer::bind_default();
    const auto program = use_test_program(
        "#version 100\n"
        "attribute vec3 position;\n"
        "attribute vec2 texcoords;\n"
        "varying vec2 uv;\n"
        "void main() { uv = texcoords; gl_Position = vec4(position.xy * 2.0, 0.0, 1.0); }\n",
        "#version 100\n"
        "precision mediump float;\n"
        "uniform sampler2D shadow_map;\n"
        "varying vec2 uv;\n"
        "void main() { gl_FragColor = vec4(texture2D(shadow_map, uv).r, 0.0, 0.0, 1.0); }\n");
    program->set_uniform("shadow_map", 7);
    depth->bind(7);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    square.draw();
    EXPECT_NEAR(context.pixel(16, 32).r, 64, 2);
    EXPECT_NEAR(context.pixel(48, 32).r, 255, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete depth;
}

TEST(framebuffer, depth_renderbuffer_gives_way_to_a_depth_texture_only) {
    test_context context;
    texture* colour = make_texture(texture::rgba, 8, 8);
    texture* depth = make_texture(texture::depth, 8, 8);
    framebuffer fb("", 8, 8);
    fb.make_renderbuffer();
    const auto [type, renderbuffer] = depth_attachment();
    ASSERT_EQ(type, GL_RENDERBUFFER);

    fb.attach_texture(colour);
    EXPECT_EQ(depth_attachment(), (std::pair<GLint, GLuint>{GL_RENDERBUFFER, renderbuffer}));
    fb.detach_texture();
    EXPECT_EQ(fb.get_texture(), nullptr);

    fb.attach_texture(depth);
    EXPECT_EQ(depth_attachment(), (std::pair<GLint, GLuint>{GL_TEXTURE, depth->id()}));
    EXPECT_FALSE(glIsRenderbuffer(renderbuffer));

    // Detaching the depth texture puts a depth renderbuffer back.
    fb.detach_texture();
    EXPECT_EQ(depth_attachment().first, GL_RENDERBUFFER);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    delete colour;
    delete depth;
}

TEST(framebuffer, destruction_frees_the_renderbuffer_and_keeps_the_texture) {
    test_context context;
    texture* colour = make_texture(texture::rgba, 8, 8);
    GLuint renderbuffer = 0;
    {
        framebuffer fb("", 8, 8);
        fb.attach_texture(colour);
        fb.make_renderbuffer();
        renderbuffer = depth_attachment().second;
        ASSERT_TRUE(glIsRenderbuffer(renderbuffer));
    }
    EXPECT_FALSE(glIsRenderbuffer(renderbuffer));
    EXPECT_EQ(bound_framebuffer(), 0u);
    EXPECT_TRUE(glIsTexture(colour->id()));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete colour;
}

TEST(framebuffer, incomplete_attachment_ends_the_process) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            test_context context;
            texture empty("", texture::rgba);
            empty.set_data(0, 0, nullptr);
            framebuffer fb("", 8, 8);
            fb.attach_texture(&empty);
        },
        testing::ExitedWithCode(1), "^framebuffer dead: 36054\n$");
}

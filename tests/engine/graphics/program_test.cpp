#include "engine/graphics/program.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

using tulk::graphics::program;

namespace {

GLint current_program() {
    GLint id = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &id);
    return id;
}

} // namespace

TEST(program, use_skips_gl_only_when_current_and_a_missing_uniform_is_reported_once) {
    test_context context;
    const auto a = use_picture_program();
    auto b = use_picture_program();
    program::get_switches();
    a->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(a->get_id()));

    // Unbound behind its back: a second use() must not touch GL.
    glUseProgram(0);
    a->use();
    EXPECT_EQ(current_program(), 0);
    b->use();
    a->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(a->get_id()));
    // Only the calls that reached GL count: a, b, a.
    EXPECT_EQ(program::get_switches(), 3u);

    // A program made where a destroyed one lived must not pass for the one in use.
    b->use();
    b.reset();
    EXPECT_EQ(program::get_program_in_use(), nullptr);
    const auto c = use_picture_program();
    EXPECT_EQ(current_program(), static_cast<GLint>(c->get_id()));

    // A missing uniform looked up in every frame must not grow the unread log without end.
    c->set_uniform("glow", 1.0f);
    c->set_uniform("picture", 0);
    EXPECT_NE(c->log(), "");
    c->set_uniform("glow", glm::vec3(1.0f));
    EXPECT_EQ(c->log(), "");

    // A replaced shader leaves the program (and memory): two stay attached, not three.
    using tulk::graphics::shader;
    auto* replacement = new shader("again", shader::vertex);
    c->attach_shader(replacement, shader::vertex);
    GLint attached = 0;
    glGetProgramiv(c->get_id(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
    EXPECT_EQ(c->get_vertex_shader(), replacement);
}

#include "engine/graphics/program.h"
#include "engine/graphics/shader.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <new>

using tulk::graphics::program;
using tulk::graphics::shader;

namespace {

const char* const flat_vertex = "#version 100\n"
                                "attribute vec3 position;\n"
                                "uniform mat4 mvp;\n"
                                "void main() { gl_Position = mvp * vec4(position, 1.0); }\n";

const char* const flat_fragment = "#version 100\n"
                                  "precision mediump float;\n"
                                  "uniform vec4 colour;\n"
                                  "void main() { gl_FragColor = colour; }\n";

// One uniform of every type set_uniform takes, each used so the compiler keeps it.
const char* const all_types_vertex =
    "#version 100\n"
    "attribute vec3 position;\n"
    "uniform mat4 m4;\n"
    "uniform mat3 m3;\n"
    "uniform vec2 v2;\n"
    "uniform vec3 v3;\n"
    "uniform float f;\n"
    "uniform int i;\n"
    "void main() {\n"
    "  gl_Position = m4 * vec4(m3 * position + vec3(v2, f) + v3 + vec3(float(i)), 1.0);\n"
    "}\n";

shader* compiled(const char* name, shader::type type, const char* source) {
    auto* s = new shader(name, type);
    s->set_source(source);
    EXPECT_TRUE(s->compile()) << s->log();
    return s;
}

void build(program& p, const char* vertex_source, const char* fragment_source) {
    p.attach_shader(compiled("vert", shader::vertex, vertex_source), shader::vertex);
    p.attach_shader(compiled("frag", shader::fragment, fragment_source), shader::fragment);
    p.bindAttribLocation(0, "position");
    EXPECT_TRUE(p.link()) << p.log();
}

program* linked(const char* name, const char* vertex_source, const char* fragment_source) {
    auto* p = new program(name);
    build(*p, vertex_source, fragment_source);
    return p;
}

GLint current_program() {
    GLint id = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &id);
    return id;
}

} // namespace

TEST(shader, type_maps_to_gl_enum) {
    EXPECT_EQ(shader::type_to_enum(shader::vertex), static_cast<GLenum>(GL_VERTEX_SHADER));
    EXPECT_EQ(shader::type_to_enum(shader::fragment), static_cast<GLenum>(GL_FRAGMENT_SHADER));
    EXPECT_EQ(shader::type_to_enum(static_cast<shader::type>(2)),
              static_cast<GLenum>(GL_INVALID_ENUM));
    EXPECT_EQ(shader::type_to_enum(static_cast<shader::type>(-1)),
              static_cast<GLenum>(GL_INVALID_ENUM));
}

TEST(shader, failed_compiles_accumulate_logs_until_read) {
    test_context context;
    shader s("broken", shader::vertex);
    s.set_source("#version 100\nvoid main() { gl_Position = undeclared; }\n");

    ASSERT_FALSE(s.compile());
    const std::string one = s.log();
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(s.log(), "") << "reading the log empties it";

    ASSERT_FALSE(s.compile());
    ASSERT_FALSE(s.compile());
    EXPECT_EQ(s.log(), one + "\n" + one);
}

TEST(program, failed_links_accumulate_logs_until_read) {
    test_context context;
    program p("mismatch");
    // The fragment stage reads a varying the vertex stage never declares.
    p.attach_shader(
        compiled("v", shader::vertex, "#version 100\nvoid main() { gl_Position = vec4(0.0); }\n"),
        shader::vertex);
    p.attach_shader(compiled("f", shader::fragment,
                             "#version 100\nprecision mediump float;\nvarying vec4 tint;\n"
                             "void main() { gl_FragColor = tint; }\n"),
                    shader::fragment);
    ASSERT_FALSE(p.link());
    const std::string one = p.log();
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(p.log(), "");
    ASSERT_FALSE(p.link());
    ASSERT_FALSE(p.link());
    EXPECT_EQ(p.log(), one + "\n" + one);
}

TEST(program, attach_keeps_only_vertex_and_fragment_shaders) {
    test_context context;
    program p("p");
    auto* stray = new shader("stray", shader::vertex);
    p.attach_shader(stray, static_cast<shader::type>(2));
    EXPECT_EQ(p.get_vertex_shader(), nullptr);
    EXPECT_EQ(p.get_fragment_shader(), nullptr);
    GLint attached = -1;
    glGetProgramiv(p.get_id(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 0);
    delete stray; // not taken over by the program

    auto* v = new shader("v", shader::vertex);
    p.attach_shader(v, shader::vertex);
    EXPECT_EQ(p.get_vertex_shader(), v);
    EXPECT_EQ(p.get_fragment_shader(), nullptr);
    glGetProgramiv(p.get_id(), GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 1);
}

TEST(program, missing_uniform_is_reported_once_and_ignored_by_gl) {
    test_context context;
    program* p = linked("flat", flat_vertex, flat_fragment);
    p->use();
    p->set_uniform("glow", 1.0f);
    p->set_uniform("glow", 2.0f);
    p->set_uniform("glow", glm::vec3(1.0f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(p->log(), "\nerror: uniform \"glow\" in program \"flat\" doesn't exist\n");
    EXPECT_EQ(p->log(), "");

    // Asking again queries GL again, and so reports again.
    EXPECT_EQ(p->make_uniform("glow"), -1);
    EXPECT_EQ(p->log(), "\nerror: uniform \"glow\" in program \"flat\" doesn't exist\n");
    EXPECT_GE(p->make_uniform("colour"), 0);
    EXPECT_EQ(p->log(), "");
    delete p;
}

TEST(program, every_uniform_type_reaches_gl) {
    test_context context;
    program* p = linked("all", all_types_vertex, flat_fragment);
    p->use();
    // Asymmetric matrices, so a transposed upload would show.
    const glm::mat4 m4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const glm::mat3 m3(1, 2, 3, 4, 5, 6, 7, 8, 9);
    p->set_uniform("m4", m4);
    p->set_uniform("m3", m3);
    p->set_uniform("v2", glm::vec2(0.5f, -0.5f));
    p->set_uniform("v3", glm::vec3(1.0f, 2.0f, 3.0f));
    p->set_uniform("f", 0.25f);
    p->set_uniform("i", 7);
    p->set_uniform(std::string("colour"), glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(p->log(), "");

    const GLuint id = p->get_id();
    auto location = [id](const char* name) { return glGetUniformLocation(id, name); };
    GLfloat f16[16];
    glGetUniformfv(id, location("m4"), f16);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(f16[k], static_cast<float>(k + 1));
    }
    glGetUniformfv(id, location("m3"), f16);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(f16[k], static_cast<float>(k + 1));
    }
    glGetUniformfv(id, location("v2"), f16);
    EXPECT_EQ(glm::vec2(f16[0], f16[1]), glm::vec2(0.5f, -0.5f));
    glGetUniformfv(id, location("v3"), f16);
    EXPECT_EQ(glm::vec3(f16[0], f16[1], f16[2]), glm::vec3(1.0f, 2.0f, 3.0f));
    glGetUniformfv(id, location("f"), f16);
    EXPECT_EQ(f16[0], 0.25f);
    glGetUniformfv(id, location("colour"), f16);
    EXPECT_EQ(glm::vec4(f16[0], f16[1], f16[2], f16[3]), glm::vec4(0.1f, 0.2f, 0.3f, 0.4f));
    GLint i = 0;
    glGetUniformiv(id, location("i"), &i);
    EXPECT_EQ(i, 7);
    delete p;
}

TEST(program, use_skips_gl_when_already_current) {
    test_context context;
    program* a = linked("a", flat_vertex, flat_fragment);
    program* b = linked("b", flat_vertex, flat_fragment);
    EXPECT_EQ(program::get_program_in_use(), nullptr);
    program::get_switches();

    a->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(a->get_id()));
    EXPECT_EQ(program::get_program_in_use(), a);

    // Unbound behind its back: a second use() must not touch GL.
    glUseProgram(0);
    a->use();
    EXPECT_EQ(current_program(), 0);

    b->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(b->get_id()));
    a->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(a->get_id()));
    EXPECT_EQ(program::get_program_in_use(), a);
    // Only the calls that reached GL count: a, b, a.
    EXPECT_EQ(program::get_switches(), 3u);
    EXPECT_EQ(program::get_switches(), 0u);
    delete a;
    delete b;
}

TEST(program, new_program_at_a_destroyed_ones_address_is_bound) {
    test_context context;
    alignas(program) unsigned char storage[sizeof(program)];
    auto* first = new (storage) program("first");
    build(*first, flat_vertex, flat_fragment);
    first->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(first->get_id()));
    first->~program();
    EXPECT_EQ(program::get_program_in_use(), nullptr);

    auto* second = new (storage) program("second");
    build(*second, flat_vertex, flat_fragment);
    ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
    second->use();
    EXPECT_EQ(current_program(), static_cast<GLint>(second->get_id()));
    second->~program();
}

TEST(program, draws_with_its_uniforms) {
    test_context context(64, 64);
    program* p = linked("flat", flat_vertex, flat_fragment);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // A full-screen square, counter-clockwise, shrunk to the middle half by the mvp.
    const GLfloat square[] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, -1, 0, 1, 1, 0, -1, 1, 0};
    p->use();
    p->set_uniform("mvp", glm::scale(glm::mat4(1.0f), glm::vec3(0.5f)));
    p->set_uniform("colour", glm::vec4(0.0f, 1.0f, 0.0f, 1.0f));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, square);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glDisableVertexAttribArray(0);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_EQ(context.pixel(32, 32), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(context.pixel(20, 40), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(context.pixel(4, 4), glm::u8vec4(0, 0, 0, 255));
    EXPECT_EQ(context.pixel(60, 32), glm::u8vec4(0, 0, 0, 255));
    delete p;
}

#include "bench/floor_renderer.h"

#include "engine/graphics/program.h"
#include "engine/graphics/shader.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

using tulk::graphics::program;

// Positions only, in the order of the engine's built-in strips, so that the same
// triangles come out: the cube's 26 vertices, then the square's 4.
// clang-format off
const float positions[] = {
    -0.5f, 0.5f, 0.5f, // cube 0
    -0.5f, -0.5f, 0.5f, // cube 1
    0.5f, 0.5f, 0.5f, // cube 2
    0.5f, -0.5f, 0.5f, // cube 3
    0.5f, -0.5f, 0.5f, // cube 4
    0.5f, -0.5f, -0.5f, // cube 5
    0.5f, 0.5f, 0.5f, // cube 6
    0.5f, 0.5f, -0.5f, // cube 7
    0.5f, 0.5f, -0.5f, // cube 8
    0.5f, -0.5f, -0.5f, // cube 9
    -0.5f, 0.5f, -0.5f, // cube 10
    -0.5f, -0.5f, -0.5f, // cube 11
    -0.5f, -0.5f, -0.5f, // cube 12
    -0.5f, -0.5f, 0.5f, // cube 13
    -0.5f, 0.5f, -0.5f, // cube 14
    -0.5f, 0.5f, 0.5f, // cube 15
    -0.5f, 0.5f, 0.5f, // cube 16
    0.5f, 0.5f, 0.5f, // cube 17
    -0.5f, 0.5f, -0.5f, // cube 18
    0.5f, 0.5f, -0.5f, // cube 19
    0.5f, 0.5f, -0.5f, // cube 20
    -0.5f, -0.5f, 0.5f, // cube 21
    -0.5f, -0.5f, 0.5f, // cube 22
    -0.5f, -0.5f, -0.5f, // cube 23
    0.5f, -0.5f, 0.5f, // cube 24
    0.5f, -0.5f, -0.5f, // cube 25
    -0.5f, 0.5f, 0.0f, // square 0
    -0.5f, -0.5f, 0.0f, // square 1
    0.5f, 0.5f, 0.0f, // square 2
    0.5f, -0.5f, 0.0f, // square 3
};
// clang-format on
constexpr GLint cube_first = 0;
constexpr GLsizei cube_count = 26;
constexpr GLint square_first = 26;
constexpr GLsizei square_count = 4;
static_assert(sizeof(positions) == (26 + 4) * 3 * sizeof(float));

const char* const vertex_source = "attribute vec3 position;\n"
                                  "uniform mat4 mvp;\n"
                                  "void main() { gl_Position = mvp * vec4(position, 1.0); }\n";
const char* const fragment_source = "precision mediump float;\n"
                                    "uniform vec4 colour;\n"
                                    "void main() { gl_FragColor = colour; }\n";

} // namespace

floor_renderer::floor_renderer()
    : flat(program::build("floorprogram", {"floorvert", vertex_source},
                          {"floorfrag", fragment_source}, {"position"})) {
    mvp = glGetUniformLocation(flat->get_id(), "mvp");
    colour = glGetUniformLocation(flat->get_id(), "colour");

    GLint previous = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previous);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof positions, positions, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previous));
}

floor_renderer::~floor_renderer() {
    glDeleteBuffers(1, &buffer);
}

void floor_renderer::save() {
    glGetIntegerv(GL_CURRENT_PROGRAM, &saved_program);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &saved_buffer);
    glGetIntegerv(GL_CULL_FACE_MODE, &saved_cull);
    saved_depth = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    saved_blend = glIsEnabled(GL_BLEND) == GL_TRUE;
}

void floor_renderer::set_capability(GLenum cap, bool on) {
    if (on) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}

void floor_renderer::draw(const draw_list& list) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Bound directly, not through program::use(): restore() hands the engine back the
    // program it last made current, so its record of that stays true.
    glUseProgram(flat->get_id());
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);

    bool cull_front = false;
    bool depth = true;
    bool blend = false;
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    for (const draw_list::entry& e : list.get_entries()) {
        if (e.cull_front != cull_front) {
            cull_front = e.cull_front;
            glCullFace(cull_front ? GL_FRONT : GL_BACK);
        }
        if (e.depth_test != depth) {
            depth = e.depth_test;
            set_capability(GL_DEPTH_TEST, depth);
        }
        if (e.blend != blend) {
            blend = e.blend;
            set_capability(GL_BLEND, blend);
        }
        glUniformMatrix4fv(mvp, 1, GL_FALSE, glm::value_ptr(e.mvp));
        glUniform4fv(colour, 1, glm::value_ptr(e.colour));
        if (e.what == draw_list::shape::cube) {
            glDrawArrays(GL_TRIANGLE_STRIP, cube_first, cube_count);
        } else {
            glDrawArrays(GL_TRIANGLE_STRIP, square_first, square_count);
        }
    }
}

void floor_renderer::restore() {
    glDisableVertexAttribArray(0);
    glUseProgram(static_cast<GLuint>(saved_program));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(saved_buffer));
    glCullFace(static_cast<GLenum>(saved_cull));
    set_capability(GL_DEPTH_TEST, saved_depth);
    set_capability(GL_BLEND, saved_blend);
}

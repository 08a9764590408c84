#include "engine/graphics/geometry.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <map>

using tulk::graphics::geometry;

namespace {

// Draws `shape` orthographically as seen from `direction` (with back faces culled, as the
// engine sets up) and counts the pixels of each face index; -1 counts pixels of no face.
std::map<int, int> faces_seen(test_context& context, tulk::graphics::program& program,
                              const geometry& shape, glm::vec3 direction) {
    const glm::vec3 up = direction.y != 0.0f ? glm::vec3(0, 0, -1) : glm::vec3(0, 1, 0);
    program.set_uniform("mvp", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 10.0f) *
                                   glm::lookAt(3.0f * direction, glm::vec3(0), up));
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    shape.draw();
    std::map<int, int> seen;
    const auto pixels = context.pixels();
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const int red = pixels[i];
        if (red != 0) {
            const int face = (red + 20) / 40 - 1;
            const bool exact = std::abs(red - 40 * (face + 1)) <= 2 && pixels[i + 1] == 0;
            ++seen[exact ? face : -1];
        }
    }
    return seen;
}

} // namespace

// Back faces are culled, so a face wound clockwise would be missing from its own side.
TEST(geometry, every_face_is_counter_clockwise_from_outside) {
    test_context context(64, 64);
    // Paints each fragment with its face index in the red channel: 40 for face 0, 80 for 1, ...
    const auto program = use_test_program(
        "#version 100\n"
        "attribute vec3 position;\n"
        "attribute float texunit;\n"
        "uniform mat4 mvp;\n"
        "varying float face;\n"
        "void main() { face = texunit; gl_Position = mvp * vec4(position, 1.0); }\n",
        "#version 100\n"
        "precision mediump float;\n"
        "varying float face;\n"
        "void main() { gl_FragColor = vec4((face + 1.0) * 40.0 / 255.0, 0.0, 0.0, 1.0); }\n");
    // Faces 0 to 5 of the cube face +z, +x, -z, -x, +y, -y.
    const glm::vec3 sides[] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        // The unit cube covers half the view's width: 32 x 32 pixels, all of one face.
        EXPECT_EQ(faces_seen(context, *program, *geometry::find("cube"), sides[face]),
                  (std::map<int, int>{{face, 32 * 32}}))
            << "cube face " << face;
    }

    // A draw leaves no attribute array enabled for the next one to trip over.
    for (GLuint index = 0; index < 4; ++index) {
        GLint enabled = GL_TRUE;
        glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, GL_FALSE) << index;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

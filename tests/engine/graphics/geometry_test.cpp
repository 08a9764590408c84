#include "engine/graphics/geometry.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

using tulk::graphics::geometry;

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
    glClearColor(0, 0, 0, 0);
    // Faces 0 to 5 of the cube face +z, +x, -z, -x, +y, -y.
    const glm::vec3 sides[] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        const glm::vec3 up = sides[face].y != 0.0f ? glm::vec3(0, 0, -1) : glm::vec3(0, 1, 0);
        program->set_uniform("mvp", glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 10.0f) *
                                        glm::lookAt(3.0f * sides[face], glm::vec3(0), up));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        geometry::find("cube")->draw();
        // The unit cube covers half the view's width: 32 x 32 pixels, all of this face.
        int own = 0, other = 0;
        const auto pixels = context.pixels();
        for (size_t i = 0; i < pixels.size(); i += 4) {
            const bool exact = std::abs(pixels[i] - 40 * (face + 1)) <= 2 && pixels[i + 1] == 0;
            (exact ? own : other) += pixels[i] != 0 ? 1 : 0;
        }
        EXPECT_EQ(std::pair(own, other), std::pair(32 * 32, 0)) << "cube face " << face;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

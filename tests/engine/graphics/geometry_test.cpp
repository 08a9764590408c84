#include "engine/graphics/geometry.h"
#include "support/test_context.h"
#include "support/test_program.h"

#include <GLES2/gl2.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>
#include <map>

using tulk::graphics::geometry;
using tulk::graphics::vertex_buffer;

namespace {

// Paints each fragment with its face index in the red channel: 40 for face 0, 80 for 1, ...
std::unique_ptr<tulk::graphics::program> use_face_program() {
    return use_test_program("#version 100\n"
                            "attribute vec3 position;\n"
                            "attribute float texunit;\n"
                            "uniform mat4 mvp;\n"
                            "varying float face;\n"
                            "void main() {\n"
                            "    face = texunit;\n"
                            "    gl_Position = mvp * vec4(position, 1.0);\n"
                            "}\n",
                            "#version 100\n"
                            "precision mediump float;\n"
                            "varying float face;\n"
                            "void main() { gl_FragColor = vec4((face + 1.0) * 40.0 / 255.0, 0.0, "
                            "0.0, 1.0); }\n");
}

// Draws `shape` orthographically as seen from `direction` (with back faces culled, as the
// engine sets up) and counts the pixels of each face index; -1 counts pixels of no face.
std::map<int, int> faces_seen(test_context& context, tulk::graphics::program& program,
                              const geometry& shape, glm::vec3 direction) {
    const glm::vec3 up = direction.y != 0.0f ? glm::vec3(0, 0, -1) : glm::vec3(0, 1, 0);
    const glm::mat4 mvp = glm::ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.1f, 10.0f) *
                          glm::lookAt(3.0f * direction, glm::vec3(0), up);
    program.set_uniform("mvp", mvp);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    shape.draw();
    std::map<int, int> seen;
    const auto pixels = context.pixels();
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const int red = pixels[i];
        if (red == 0) {
            continue; // background
        }
        const int face = (red + 20) / 40 - 1;
        const bool exact = std::abs(red - 40 * (face + 1)) <= 2 && pixels[i + 1] == 0;
        ++seen[exact ? face : -1];
    }
    return seen;
}

const glm::vec3 plus_x(1, 0, 0), minus_x(-1, 0, 0), plus_y(0, 1, 0), minus_y(0, -1, 0),
    plus_z(0, 0, 1), minus_z(0, 0, -1);

} // namespace

TEST(geometry, builtin_shapes_are_registered_as_strips) {
    test_context context;
    EXPECT_EQ(geometry::find("cube")->get_vertex_count(), 26u);
    EXPECT_EQ(geometry::find("pyramid")->get_vertex_count(), 16u);
    EXPECT_EQ(geometry::find("square")->get_vertex_count(), 4u);
    for (const char* name : {"cube", "pyramid", "square"}) {
        EXPECT_EQ(geometry::find(name)->get_mode(), static_cast<GLenum>(GL_TRIANGLE_STRIP)) << name;
        EXPECT_EQ(geometry::find(name), geometry::find(name));
    }
}

// Back faces are culled, so a face wound clockwise would be missing from its own side.
TEST(geometry, every_cube_face_is_counter_clockwise_from_outside) {
    test_context context(64, 64);
    const auto program = use_face_program();
    const geometry& cube = *geometry::find("cube");
    const std::pair<glm::vec3, int> sides[] = {{plus_z, 0},  {plus_x, 1}, {minus_z, 2},
                                               {minus_x, 3}, {plus_y, 4}, {minus_y, 5}};
    for (const auto& [direction, face] : sides) {
        // The unit cube covers half the view's width: 32 x 32 pixels, all of one face.
        const std::map<int, int> expected{{face, 32 * 32}};
        EXPECT_EQ(faces_seen(context, *program, cube, direction), expected) << "face " << face;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(geometry, pyramid_and_square_faces_are_counter_clockwise_from_outside) {
    test_context context(64, 64);
    const auto program = use_face_program();
    const geometry& pyramid = *geometry::find("pyramid");
    const std::pair<glm::vec3, int> sides[] = {
        {plus_z, 0}, {plus_x, 1}, {minus_z, 2}, {minus_x, 3}, {minus_y, 4}};
    for (const auto& [direction, face] : sides) {
        const auto seen = faces_seen(context, *program, pyramid, direction);
        ASSERT_EQ(seen.size(), 1u) << "face " << face;
        EXPECT_EQ(seen.begin()->first, face);
        EXPECT_GT(seen.begin()->second, 200) << "face " << face;
    }
    // From above, the four sides meet at the apex.
    const auto from_above = faces_seen(context, *program, pyramid, plus_y);
    EXPECT_EQ(from_above.size(), 4u);
    EXPECT_EQ(from_above.count(4), 0u);
    EXPECT_EQ(from_above.count(-1), 0u);

    const geometry& square = *geometry::find("square");
    EXPECT_EQ(faces_seen(context, *program, square, plus_z), (std::map<int, int>{{0, 32 * 32}}));
    EXPECT_TRUE(faces_seen(context, *program, square, minus_z).empty());
}

TEST(geometry, draw_leaves_no_attribute_array_enabled) {
    test_context context;
    const auto program = use_face_program();
    const geometry& cube = *geometry::find("cube");
    cube.draw();
    for (GLuint index = 0; index < 4; ++index) {
        GLint enabled = GL_TRUE;
        glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, GL_FALSE) << index;
    }
}

TEST(geometry, draw_calls_are_counted_only_while_enabled) {
    test_context context;
    const auto flat = use_flat_program();
    const geometry& square = *geometry::find("square");
    square.draw();
    square.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 0u);
    geometry::enable_get_draw_calls();
    for (int i = 0; i < 3; ++i) {
        square.draw();
    }
    EXPECT_EQ(geometry::get_draw_calls(), 3u);
    EXPECT_EQ(geometry::get_draw_calls(), 0u);
    geometry::disable_get_draw_calls();
    square.draw();
    EXPECT_EQ(geometry::get_draw_calls(), 0u);
}

TEST(geometry, vertex_count_divides_whole_vertices_only) {
    test_context context;
    const unsigned char bytes[100] = {};
    auto* vb = new vertex_buffer();
    vb->set_data(sizeof(bytes), bytes);
    vb->add_attribute(0, 3, 0);
    vb->add_attribute(1, 3, 3);
    vb->add_attribute(2, 2, 6);
    vb->add_attribute(3, 1, 8);
    geometry shape;
    EXPECT_EQ(shape.get_vertex_count(), 0u);
    EXPECT_EQ(shape.get_mode(), static_cast<GLenum>(GL_TRIANGLES));
    shape.add_vertex_buffer(vb);
    EXPECT_EQ(shape.get_vertex_count(), 2u);
    // A buffer without a layout holds no vertices.
    auto* bare = new vertex_buffer();
    bare->set_data(sizeof(bytes), bytes);
    shape.add_vertex_buffer(bare);
    EXPECT_EQ(shape.get_vertex_count(), 2u);
}

TEST(geometry, unknown_name_ends_the_process) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            test_context context;
            geometry::find("sphere");
        },
        testing::ExitedWithCode(1), "^geometry::find\\(\\) returned null\n$");
}

TEST(geometry, bad_mode_ends_the_process_at_the_next_draw) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            test_context context;
            const auto flat = use_flat_program();
            geometry* square = geometry::find("square");
            square->set_mode(static_cast<geometry::mode>(3));
            square->draw();
        },
        testing::ExitedWithCode(1), "^glerror: gldrawarrays: 1280\n$");
}

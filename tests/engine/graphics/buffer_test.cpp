#include "engine/graphics/vertex_buffer.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <gtest/gtest.h>

using tulk::graphics::buffer;
using tulk::graphics::vertex_buffer;

TEST(vertex_buffer, stride_follows_the_attribute_sizes) {
    test_context context;
    vertex_buffer vb;
    EXPECT_EQ(vb.get_stride(), 0u);
    // Offsets are not checked against the sizes; only the sizes make the stride.
    vb.add_attribute(0, 3, 0);
    vb.add_attribute(1, 3, 7);
    vb.add_attribute(2, 2, 1);
    EXPECT_EQ(vb.get_stride(), 32u);
    vb.add_attribute(3, 1, 8);
    EXPECT_EQ(vb.get_stride(), 36u);
    ASSERT_EQ(vb.get_attributes().size(), 4u);
    EXPECT_EQ(vb.get_attributes()[1].index, 1u);
    EXPECT_EQ(vb.get_attributes()[1].offset, 7);
}

TEST(buffer, deleting_through_the_base_releases_the_name) {
    test_context context;
    buffer* b = new vertex_buffer();
    b->bind();
    const GLuint id = b->get_id();
    ASSERT_TRUE(glIsBuffer(id));
    delete b;
    EXPECT_FALSE(glIsBuffer(id));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(buffer, gl_error_ends_the_process_with_the_call_named) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            test_context context;
            buffer b;
            b.set_data(-1, nullptr);
        },
        testing::ExitedWithCode(1), "glerror: glbufferdata: 1281\n");
}

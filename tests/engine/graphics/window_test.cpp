#include "engine/graphics/window.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <cstring>
#include <gtest/gtest.h>

TEST(window, windowed_size_is_read_back) {
    use_headless_video();
    tulk::graphics::window w("Ardlow", 0, 0, 400, 400, false, true);
    EXPECT_EQ(w.get_width(), 400);
    EXPECT_EQ(w.get_height(), 400);
}

TEST(window, context_is_opengl_es_2) {
    test_context context(32, 16);
    EXPECT_EQ(context.width(), 32);
    EXPECT_EQ(context.height(), 16);
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(std::strncmp(version, "OpenGL ES", 9), 0) << version;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST(window, reads_back_what_was_cleared) {
    test_context context(8, 8);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(context.pixel(3, 3), glm::u8vec4(255, 0, 0, 255));
}

TEST(window, failed_start_exits_with_a_clear_message) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            tulk::graphics::window w("Ardlow", 0, 0, 400, 400, true, true);
        },
        testing::ExitedWithCode(1), "Ardlow: SDL_Init failed: .+");
}

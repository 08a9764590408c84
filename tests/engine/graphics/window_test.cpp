#include "engine/graphics/window.h"
#include "support/test_context.h"

#include <cstdlib>
#include <gtest/gtest.h>

TEST(window, failed_start_exits_with_a_clear_message) {
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            tulk::graphics::window w("Ardlow", 0, 0, 400, 400, true, true);
        },
        testing::ExitedWithCode(1), "Ardlow: SDL_Init failed: .+");
}

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Where the staged game is; a caller's own value wins.
    setenv("ARDLOW_STAGE_DIR", ARDLOW_STAGE_DIR, 0);
    // Mesa's threads need re-executing death tests; under qemu-user, set the style.
    if (std::getenv("GTEST_DEATH_TEST_STYLE") == nullptr) {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Where the staged game is; a caller's own value wins.
    setenv("ARDLOW_STAGE_DIR", ARDLOW_STAGE_DIR, 0);
    // Mesa's renderer runs threads of its own, so death tests must re-execute the binary;
    // GTEST_DEATH_TEST_STYLE overrides it where re-executing cannot work (under qemu-user).
    if (std::getenv("GTEST_DEATH_TEST_STYLE") == nullptr) {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

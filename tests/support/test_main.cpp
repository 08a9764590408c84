#include "support/process_state.h"

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
    // After the result printer: end events go in reverse, so it sees a test's end first and
    // a failure it adds is printed with that test.
    testing::UnitTest::GetInstance()->listeners().Append(new process_state);
    return RUN_ALL_TESTS();
}

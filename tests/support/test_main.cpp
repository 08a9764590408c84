#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Mesa's renderer runs threads of its own, so death tests must re-execute the binary.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

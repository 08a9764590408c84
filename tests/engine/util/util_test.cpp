#include "engine/util/util.h"

#include <gtest/gtest.h>
#include <set>

using tulk::util::ftoa;
using tulk::util::itoa;
using tulk::util::rrand;

TEST(util, rrand_covers_half_open_range) {
    std::srand(7);
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) {
        const int v = rrand(80, 120);
        ASSERT_GE(v, 80);
        ASSERT_LT(v, 120);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 40u);
    for (int i = 0; i < 20000; ++i) {
        const int v = rrand(-1000, 1000);
        ASSERT_GE(v, -1000);
        ASSERT_LE(v, 999);
    }
}

TEST(util, rrand_with_empty_range_returns_low) {
    EXPECT_EQ(rrand(5, 5), 5);
    EXPECT_EQ(rrand(5, -3), 5);
}

TEST(util, itoa_prints_plain_decimal) {
    EXPECT_EQ(itoa(0), "0");
    EXPECT_EQ(itoa(-5), "-5");
    EXPECT_EQ(itoa(2147483647), "2147483647");
    EXPECT_EQ(itoa(-2147483647 - 1), "-2147483648");
}

TEST(util, ftoa_rounds_the_exact_float_value) {
    EXPECT_EQ(ftoa(2.0f, 6), "2.000000");
    EXPECT_EQ(ftoa(0.1f, 6), "0.100000");
    EXPECT_EQ(ftoa(0.25f, 1), "0.2"); // a tie goes to the even digit
    EXPECT_EQ(ftoa(0.35f, 1), "0.3"); // the float nearest 0.35 lies below it
    EXPECT_EQ(ftoa(-1.25f, 1), "-1.2");
    EXPECT_EQ(ftoa(-0.04f, 1), "-0.0"); // the sign survives rounding to zero
    EXPECT_EQ(ftoa(-0.0f, 1), "-0.0");
    EXPECT_EQ(ftoa(3.7f, 0), "4");
    EXPECT_EQ(ftoa(1e30f, 1).size(), 33u); // longer than 31 characters is still whole
}

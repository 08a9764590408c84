#include "engine/util/util.h"

#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <tuple>

using tulk::util::ftoa;
using tulk::util::rrand;

TEST(util, rrand_covers_the_half_open_range_and_an_empty_one_gives_low) {
    std::srand(7);
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) {
        seen.insert(rrand(80, 120));
    }
    EXPECT_EQ(std::tuple(seen.size(), *seen.begin(), *seen.rbegin()), std::tuple(40u, 80, 119));
    EXPECT_EQ(rrand(5, 5), 5);
    EXPECT_EQ(rrand(5, -3), 5);
}

TEST(util, ftoa_rounds_the_exact_float_value) {
    EXPECT_EQ(ftoa(0.1f, 6), "0.100000");
    EXPECT_EQ(ftoa(0.25f, 1), "0.2");   // a tie goes to the even digit
    EXPECT_EQ(ftoa(0.35f, 1), "0.3");   // the float nearest 0.35 lies below it
    EXPECT_EQ(ftoa(-0.04f, 1), "-0.0"); // the sign survives rounding to zero
    EXPECT_EQ(ftoa(3.7f, 0), "4");
    EXPECT_EQ(ftoa(1e30f, 1).size(), 33u); // longer than 31 characters is still whole
    const std::string widest = ftoa(-std::numeric_limits<float>::max(), 400);
    EXPECT_EQ(widest.size(), 441u); // sign, 39 digits, point, 400 decimals
    EXPECT_EQ(widest.substr(0, 8), "-3402823");
}

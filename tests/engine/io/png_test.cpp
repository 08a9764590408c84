#include "engine/io/png.h"

#include "support/test_context.h"

#include <filesystem>
#include <gtest/gtest.h>

using tulk::io::png;

// (The black-box tests put FIFOs in place of pictures.)
TEST(png, reads_only_regular_files_and_refuses_oversized_ones_from_their_header) {
    const std::string dir = make_temp_dir();
    std::vector<unsigned char> rgba;
    unsigned int w = 0, h = 0;
    EXPECT_EQ(png::read(dir, rgba, w, h), png::not_regular);

    // A few kilobytes that decode to 9 MB: cut after its header, only that can refuse it.
    const std::string bomb = dir + "/bomb.png";
    ASSERT_EQ(png::write(bomb, std::vector<unsigned char>(1500 * 1500 * 4), 1500, 1500), 0u);
    EXPECT_EQ(png::read(bomb, rgba, w, h, 1500), 0u) << "not a valid picture";
    std::filesystem::resize_file(bomb, 33);
    EXPECT_NE(png::read(bomb, rgba, w, h, 1500), 0u);
    EXPECT_EQ(png::read(bomb, rgba, w, h, 1499), png::too_large);
    EXPECT_TRUE(rgba.empty());
}

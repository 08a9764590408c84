#include "engine/io/png.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using tulk::io::png;

namespace {

// Caps the address space 4 MB above what the process holds now. AddressSanitizer's
// reservations rule a cap out, so under it this does nothing.
void cap_address_space() {
#ifndef __SANITIZE_ADDRESS__
    size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t cap = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (4u << 20);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
#endif
}

} // namespace

TEST(png, reads_only_regular_files_and_refuses_oversized_ones_from_their_header) {
    const std::string dir = make_temp_dir();
    std::vector<unsigned char> rgba;
    unsigned int w = 0, h = 0;
    alarm(60); // a FIFO that made the reader wait ends the test
    ASSERT_EQ(mkfifo((dir + "/fifo.png").c_str(), 0666), 0);
    EXPECT_EQ(png::read(dir + "/fifo.png", rgba, w, h), png::not_regular);
    EXPECT_EQ(png::read(dir, rgba, w, h), png::not_regular);
    alarm(0);

    // A file of a few kilobytes that decodes to 9 MB: under a cap of 4 MB only a refusal
    // from the header can succeed.
    const std::string bomb = dir + "/bomb.png";
    ASSERT_EQ(png::write(bomb, std::vector<unsigned char>(1500 * 1500 * 4), 1500, 1500), 0u);
    EXPECT_EQ(png::read(bomb, rgba, w, h, 1500), 0u) << "not a valid picture";
    EXPECT_EQ(png::read(bomb, rgba, w, h, 1499), png::too_large);
    EXPECT_TRUE(rgba.empty());
    EXPECT_EXIT(
        {
            cap_address_space();
            std::exit(png::read(bomb, rgba, w, h, 1499) == png::too_large ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}

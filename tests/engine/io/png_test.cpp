#include "engine/io/png.h"

#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using tulk::io::png;

namespace {

void put_u32(std::string& out, unsigned long long v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>(v >> shift);
    }
}

void put_chunk(std::string& out, const std::string& type_and_data) {
    put_u32(out, type_and_data.size() - 4);
    out += type_and_data;
    put_u32(out, lodepng_crc32(reinterpret_cast<const unsigned char*>(type_and_data.data()),
                               type_and_data.size()));
}

// A valid picture of side x side black RGBA pixels whose data packs 258 zero bytes into
// 13 bits (fixed-code deflate): a small file that decodes to gigabytes.
std::string bomb(unsigned int side) {
    const unsigned long long raw = side * (1ull + 4ull * side); // a filter byte a row
    std::string z = "\x78\x01";
    unsigned int bits = 0, count = 0;
    auto put = [&](unsigned int code, unsigned int n) { // codes go high bit first
        for (unsigned int i = n; i-- > 0; bits |= ((code >> i) & 1u) << count++) {
            if (count == 8) {
                z += static_cast<char>(bits);
                bits = count = 0;
            }
        }
    };
    put(0b110, 3); // the last block, fixed codes
    for (unsigned long long i = 0; i < (raw - 1) % 258 + 1; ++i) {
        put(0x30, 8); // literal 0
    }
    for (unsigned long long i = 0; i < (raw - 1) / 258; ++i) {
        put(0xC5 << 5, 13); // length 258, distance 1
    }
    put(0, 7 + 8);                       // end of block, and what the last byte needs
    put_u32(z, (raw % 65521) << 16 | 1); // Adler-32 of zeros
    std::string header = "IHDR";
    put_u32(header, side);
    put_u32(header, side);
    std::string file = "\x89PNG\r\n\x1a\n";
    put_chunk(file, header + std::string("\x08\x06\x00\x00\x00", 5));
    put_chunk(file, "IDAT" + z);
    put_chunk(file, "IEND");
    return file;
}

// Caps the address space 512 MB above what the process holds now. AddressSanitizer's
// reservations rule a cap out, so under it this does nothing.
void cap_address_space() {
#ifndef __SANITIZE_ADDRESS__
    size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t cap = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (512u << 20);
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

    std::ofstream(dir + "/small.png", std::ios::binary) << bomb(64);
    EXPECT_EQ(png::read(dir + "/small.png", rgba, w, h, 63), png::too_large);
    EXPECT_TRUE(rgba.empty());
    ASSERT_EQ(png::read(dir + "/small.png", rgba, w, h, 64), 0u) << "not a valid picture";
    EXPECT_EQ(rgba, std::vector<unsigned char>(64 * 64 * 4, 0));

    // Decoded, this takes 1.6 GB: under a cap far below that only a refusal from the
    // header succeeds.
    std::ofstream(dir + "/bomb.png", std::ios::binary) << bomb(20000);
    EXPECT_EXIT(
        {
            cap_address_space();
            std::exit(png::read(dir + "/bomb.png", rgba, w, h, 16384) == png::too_large ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}

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

void put_u32(std::string& out, unsigned int v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>(v >> shift);
    }
}

void put_chunk(std::string& out, const char* type, const std::string& data) {
    put_u32(out, static_cast<unsigned int>(data.size()));
    const std::string body = type + data;
    out += body;
    put_u32(out, lodepng_crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

// A valid RGBA picture of side x side black pixels whose pixel data packs 258 bytes into
// 13 bits: a small file that decodes to gigabytes.
std::string bomb(unsigned int side) {
    const unsigned long long raw = side * (1ull + 4ull * side); // each row has a filter byte
    std::string z = "\x78\x01";
    unsigned int bits = 0, count = 0;
    auto put = [&](unsigned int value, unsigned int n) { // Huffman codes go high bit first
        for (unsigned int i = n; i-- > 0;) {
            bits |= ((value >> i) & 1u) << count;
            if (++count == 8) {
                z += static_cast<char>(bits);
                bits = count = 0;
            }
        }
    };
    put(0b110, 3); // last block, fixed codes
    put(0x30, 8);  // literal 0
    for (unsigned long long i = 0; i < (raw - 1) / 258; ++i) {
        put(0xC5, 8); // length 258
        put(0, 5);    // distance 1
    }
    for (unsigned long long i = 0; i < (raw - 1) % 258; ++i) {
        put(0x30, 8);
    }
    put(0, 7); // end of block
    if (count > 0) {
        z += static_cast<char>(bits);
    }
    put_u32(z, static_cast<unsigned int>((raw % 65521) << 16 | 1)); // Adler-32 of zeros
    std::string header;
    put_u32(header, side);
    put_u32(header, side);
    header += std::string("\x08\x06\x00\x00\x00", 5);
    std::string file = "\x89PNG\r\n\x1a\n";
    put_chunk(file, "IHDR", header);
    put_chunk(file, "IDAT", z);
    put_chunk(file, "IEND", "");
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
    alarm(60); // a FIFO that made the reader wait would end the test
    ASSERT_EQ(mkfifo((dir + "/fifo.png").c_str(), 0666), 0);
    EXPECT_EQ(png::read(dir + "/fifo.png", rgba, w, h), png::not_regular);
    EXPECT_EQ(png::read(dir, rgba, w, h), png::not_regular);
    alarm(0);

    ASSERT_EQ(png::write(dir + "/wide.png", std::vector<unsigned char>(3 * 2 * 4, 9), 3, 2), 0u);
    EXPECT_EQ(png::read(dir + "/wide.png", rgba, w, h, 2), png::too_large);
    EXPECT_TRUE(rgba.empty());
    EXPECT_EQ(png::read(dir + "/wide.png", rgba, w, h, 3), 0u);
    EXPECT_EQ(rgba.size(), 24u);

    // Decoded, this would take 1.6 GB: under an address-space limit far below that, only a
    // refusal from the header can succeed.
    std::ofstream(dir + "/small.png", std::ios::binary) << bomb(64);
    ASSERT_EQ(png::read(dir + "/small.png", rgba, w, h), 0u) << "not a valid picture";
    EXPECT_EQ(rgba, std::vector<unsigned char>(64 * 64 * 4, 0));
    std::ofstream(dir + "/bomb.png", std::ios::binary) << bomb(20000);
    EXPECT_EXIT(
        {
            cap_address_space();
            std::exit(png::read(dir + "/bomb.png", rgba, w, h, 16384) == png::too_large ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    std::filesystem::remove_all(dir);
}

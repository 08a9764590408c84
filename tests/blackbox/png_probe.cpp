// Counts the pixels of a screenshot region (rows from the top, X1 and Y1 excluded) of a
// class: green (the snake and pickups), white (lit wall bars and text), lit (not black).
#include "engine/io/png.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::string colour_class = argc == 7 ? argv[6] : "";
    const auto matches = [&colour_class](int r, int g, int b) {
        return colour_class == "green"   ? g > 90 && g > 2 * r && g > 2 * b
               : colour_class == "white" ? r > 150 && g > 150 && b > 150
                                         : r + g + b > 30;
    };
    if (colour_class != "green" && colour_class != "white" && colour_class != "lit") {
        std::fprintf(stderr, "usage: png_probe FILE X0 Y0 X1 Y1 green|white|lit\n");
        return 2;
    }
    std::vector<unsigned char> rgba;
    unsigned width = 0, height = 0;
    if (const unsigned error = tulk::io::png::read(argv[1], rgba, width, height)) {
        std::fprintf(stderr, "png_probe: %s: %s\n", argv[1], tulk::io::png::error_text(error));
        return 1;
    }
    const int x1 = std::min(std::atoi(argv[4]), static_cast<int>(width));
    const int y1 = std::min(std::atoi(argv[5]), static_cast<int>(height));
    long count = 0;
    for (int y = std::atoi(argv[3]); y < y1; ++y) {
        for (int x = std::atoi(argv[2]); x < x1; ++x) {
            const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            count += matches(p[0], p[1], p[2]) ? 1 : 0;
        }
    }
    std::printf("%ld\n", count);
    return 0;
}

// Writes the game's generated data (glyphs, title picture, music, effects, icons) into the folder
// given as the only argument, unless every file is there already and newer than this program.
#include "asset_maker/assets.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: asset_maker <stage folder>\n");
        return 2;
    }
    std::error_code ec;
    const auto maker_time = std::filesystem::last_write_time("/proc/self/exe", ec);
    if (!ec && assets::up_to_date(argv[1], maker_time)) {
        return 0;
    }
    std::printf("asset_maker: making the game's data in %s\n", argv[1]);
    return assets::make_all(argv[1]) ? 0 : 1;
}

// Writes the game's generated data (glyphs, title picture, music, effects, icons) into the folder
// given as the only argument.
#include "asset_maker/assets.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: asset_maker <stage folder>\n");
        return 2;
    }
    return assets::make_all(argv[1]) ? 0 : 1;
}

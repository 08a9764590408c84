// Checks the data the build staged beside the game: every file the game looks for exists
// and decodes the way the game will read it.
#include "engine/io/png.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string stage() {
    const char* dir = std::getenv("ARDLOW_STAGE_DIR");
    return dir != nullptr ? dir : "stage";
}

// The glyph names the game's text asks for, written out here from the game's rules rather
// than taken from the asset maker, so a slip in the maker's table shows.
std::vector<std::string> glyph_names() {
    std::vector<std::string> names;
    for (char d = '0'; d <= '9'; ++d) {
        names.emplace_back(1, d);
    }
    for (char l = 'a'; l <= 'z'; ++l) {
        if (l != 'x') {
            names.push_back(std::string("u") + l);
        }
    }
    for (const char* p :
         {"space",     "exclamation",  "doublequotes", "hash",       "dollar",   "percent",
          "ampersand", "apostrophe",   "openparen",    "closeparen", "asterisk", "plus",
          "comma",     "minus",        "dot",          "slash",      "colon",    "semicolon",
          "openangle", "equals",       "closeangle",   "question",   "at",       "openbracket",
          "backslash", "closebracket", "caret",        "underscore", "thing",    "opencurly",
          "pipe",      "closecurly",   "tilde"}) {
        names.emplace_back(p);
    }
    return names;
}

struct image {
    std::vector<unsigned char> rgba;
    unsigned width = 0;
    unsigned height = 0;
    unsigned error = 0;
};

image load(const std::string& path) {
    image im;
    im.error = tulk::io::png::read(path, im.rgba, im.width, im.height);
    return im;
}

} // namespace

// The game loads every file of the font folder as a glyph, so nothing else may be there.
// Each glyph is white strokes with a dark outline, so it reads over white and black alike.
TEST(staged_data, font_folder_holds_every_glyph_outlined_on_transparent_and_nothing_else) {
    const std::vector<std::string> names = glyph_names();
    ASSERT_EQ(names.size(), 68u);
    const std::set<std::string> expected(names.begin(), names.end());
    int files = 0;
    for (const auto& entry : fs::directory_iterator(stage() + "/textures/font")) {
        ++files;
        EXPECT_TRUE(entry.path().extension() == ".png" &&
                    expected.count(entry.path().stem().string()))
            << entry.path();
    }
    EXPECT_EQ(files, 68);

    std::set<std::string> distinct; // pictures as bytes
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const image im = load(stage() + "/textures/font/" + name + ".png");
        ASSERT_EQ(im.error, 0u) << tulk::io::png::error_text(im.error);
        ASSERT_GT(im.width, 0u);
        ASSERT_EQ(im.width, im.height); // drawn on a square
        const auto at = [&](int x, int y) {
            const bool inside = x >= 0 && y >= 0 && x < int(im.width) && y < int(im.height);
            return inside ? glm::u8vec4(glm::make_vec4(&im.rgba[(y * im.width + x) * 4]))
                          : glm::u8vec4(0);
        };
        int white = 0;
        for (int y = 0; y < int(im.height); ++y) {
            for (int x = 0; x < int(im.width); ++x) {
                const glm::u8vec4 p = at(x, y);
                ASSERT_TRUE(p.a == 0 || p == glm::u8vec4(255) || p == glm::u8vec4(0, 0, 0, 255))
                    << x << ", " << y;
                EXPECT_TRUE(p.a == 0 || (x > 0 && x + 1 < int(im.width))) << "glyphs never touch";
                // A white texel is never next to a transparent one: the outline is closed.
                for (int d = 0; d < 9 && p == glm::u8vec4(255); ++d) {
                    EXPECT_NE(at(x + d % 3 - 1, y + d / 3 - 1).a, 0) << x << ", " << y;
                }
                white += p == glm::u8vec4(255);
            }
        }
        if (name == "space") {
            EXPECT_EQ(white, 0);
        } else {
            EXPECT_GT(white, 0);
            EXPECT_LT(white, static_cast<int>(im.width * im.height / 2));
            distinct.insert(std::string(im.rgba.begin(), im.rgba.end()));
        }
    }
    EXPECT_EQ(distinct.size(), 67u) << "two glyphs look the same";
}

TEST(staged_data, title_picture_decodes_as_a_whole_picture) {
    const image im = load(stage() + "/textures/title.png");
    ASSERT_EQ(im.error, 0u) << tulk::io::png::error_text(im.error);
    EXPECT_EQ(im.width & (im.width - 1), 0u) << "a power of two wide: " << im.width;
    EXPECT_EQ(im.height & (im.height - 1), 0u) << "a power of two high: " << im.height;
    EXPECT_GE(im.width, 256u);
    EXPECT_GE(im.height, 256u);
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < im.rgba.size(); i += 4) {
        ASSERT_EQ(im.rgba[i + 3], 255) << "the card has no holes";
        colours.insert(std::uint32_t{im.rgba[i]} << 16 | std::uint32_t{im.rgba[i + 1]} << 8 |
                       im.rgba[i + 2]);
    }
    EXPECT_GT(colours.size(), 20u);
}

TEST(staged_data, tunes_open_as_ogg_music_of_20_to_60_seconds_and_effects_as_chunks) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024), 0) << Mix_GetError();
    for (const char* name : {"Ouroboros.ogg", "Buff Proof.ogg"}) {
        SCOPED_TRACE(name);
        Mix_Music* music = Mix_LoadMUS((stage() + "/music/" + name).c_str());
        ASSERT_NE(music, nullptr) << Mix_GetError();
        EXPECT_EQ(Mix_GetMusicType(music), MUS_OGG);
        EXPECT_GE(Mix_MusicDuration(music), 20.0);
        EXPECT_LE(Mix_MusicDuration(music), 60.0);
        Mix_FreeMusic(music);
    }

    // 44100 stereo frames of 16 bits a second.
    const double bytes_per_second = 44100 * 2 * 2;
    struct effect {
        const char* name;
        double shortest;
        double longest;
    };
    for (const effect& e :
         {effect{"Blast(1).wav", 0.7, 1.5}, effect{"167338__plimbo__pup-fat.wav", 0.15, 0.4}}) {
        SCOPED_TRACE(e.name);
        Mix_Chunk* chunk =
            Mix_LoadWAV_RW(SDL_RWFromFile((stage() + "/sfx/" + e.name).c_str(), "rb"), 1);
        ASSERT_NE(chunk, nullptr) << Mix_GetError();
        EXPECT_GE(chunk->alen / bytes_per_second, e.shortest);
        EXPECT_LE(chunk->alen / bytes_per_second, e.longest);
        Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
    SDL_Quit();
}

TEST(staged_data, all_data_stays_under_two_megabytes) {
    std::uintmax_t total = 0;
    for (const char* folder : {"textures", "music", "sfx"}) {
        for (const auto& entry : fs::recursive_directory_iterator(stage() + "/" + folder)) {
            if (entry.is_regular_file()) {
                total += entry.file_size();
            }
        }
    }
    EXPECT_GT(total, 0u);
    EXPECT_LT(total, 2u * 1024 * 1024);
}

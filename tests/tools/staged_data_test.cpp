// Checks the data the build staged beside the game: every file the game looks for exists
// and decodes the way the game will read it.
#include "engine/io/png.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
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

bool power_of_two(unsigned v) {
    return v != 0 && (v & (v - 1)) == 0;
}

class mixer : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024), 0) << Mix_GetError();
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_Quit();
    }
};

} // namespace

TEST(staged_data, glyph_table_has_68_names) {
    const std::vector<std::string> names = glyph_names();
    EXPECT_EQ(names.size(), 68u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
}

TEST(staged_data, every_glyph_is_white_on_transparent) {
    std::set<std::string> distinct; // pictures as bytes
    for (const std::string& name : glyph_names()) {
        SCOPED_TRACE(name);
        const image im = load(stage() + "/textures/font/" + name + ".png");
        ASSERT_EQ(im.error, 0u) << tulk::io::png::error_text(im.error);
        ASSERT_GT(im.width, 0u);
        ASSERT_EQ(im.width, im.height); // drawn on a square
        ASSERT_EQ(im.rgba.size(), std::size_t{im.width} * im.height * 4);

        int opaque = 0;
        bool edge_clear = true;
        for (unsigned y = 0; y < im.height; ++y) {
            for (unsigned x = 0; x < im.width; ++x) {
                const unsigned char* p = &im.rgba[(std::size_t{y} * im.width + x) * 4];
                if (p[3] == 0) {
                    continue;
                }
                ASSERT_EQ(p[0], 255);
                ASSERT_EQ(p[1], 255);
                ASSERT_EQ(p[2], 255);
                ++opaque;
                if (x == 0 || y == 0 || x + 1 == im.width || y + 1 == im.height) {
                    edge_clear = false;
                }
            }
        }
        EXPECT_TRUE(edge_clear) << "glyphs keep a transparent margin";
        if (name == "space") {
            EXPECT_EQ(opaque, 0);
        } else {
            EXPECT_GT(opaque, 0);
            EXPECT_LT(opaque, static_cast<int>(im.width * im.height / 2));
            distinct.insert(std::string(im.rgba.begin(), im.rgba.end()));
        }
    }
    EXPECT_EQ(distinct.size(), 67u) << "two glyphs look the same";
}

TEST(staged_data, font_folder_holds_only_the_glyphs) {
    // The game loads every file in the folder as a PNG, so nothing else may be there.
    const std::vector<std::string> names = glyph_names();
    const std::set<std::string> expected(names.begin(), names.end());
    int files = 0;
    for (const auto& entry : fs::directory_iterator(stage() + "/textures/font")) {
        ++files;
        EXPECT_TRUE(entry.is_regular_file()) << entry.path();
        EXPECT_EQ(entry.path().extension(), ".png");
        EXPECT_TRUE(expected.count(entry.path().stem().string())) << entry.path();
    }
    EXPECT_EQ(files, 68);
}

TEST(staged_data, title_picture_decodes_as_a_whole_picture) {
    const image im = load(stage() + "/textures/title.png");
    ASSERT_EQ(im.error, 0u) << tulk::io::png::error_text(im.error);
    EXPECT_TRUE(power_of_two(im.width)) << im.width;
    EXPECT_TRUE(power_of_two(im.height)) << im.height;
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

TEST_F(mixer, both_tunes_open_as_ogg_music_of_20_to_60_seconds) {
    for (const char* name : {"Ouroboros.ogg", "Buff Proof.ogg"}) {
        SCOPED_TRACE(name);
        Mix_Music* music = Mix_LoadMUS((stage() + "/music/" + name).c_str());
        ASSERT_NE(music, nullptr) << Mix_GetError();
        EXPECT_EQ(Mix_GetMusicType(music), MUS_OGG);
        const double seconds = Mix_MusicDuration(music);
        EXPECT_GE(seconds, 20.0);
        EXPECT_LE(seconds, 60.0);
        Mix_FreeMusic(music);
    }
}

TEST_F(mixer, both_effects_open_as_chunks_of_the_intended_length) {
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_NE(Mix_QuerySpec(&frequency, &format, &channels), 0);
    const double bytes_per_second = frequency * channels * SDL_AUDIO_BITSIZE(format) / 8.0;

    struct effect {
        const char* name;
        double shortest;
        double longest;
    };
    for (const effect& e :
         {effect{"Blast(1).wav", 0.7, 1.5}, effect{"167338__plimbo__pup-fat.wav", 0.15, 0.4}}) {
        SCOPED_TRACE(e.name);
        SDL_RWops* rw = SDL_RWFromFile((stage() + "/sfx/" + e.name).c_str(), "rb");
        ASSERT_NE(rw, nullptr) << SDL_GetError();
        Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1);
        ASSERT_NE(chunk, nullptr) << Mix_GetError();
        const double seconds = chunk->alen / bytes_per_second;
        EXPECT_GE(seconds, e.shortest);
        EXPECT_LE(seconds, e.longest);
        Mix_FreeChunk(chunk);
    }
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

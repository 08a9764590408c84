// The staged data decodes the way the game, or a player's music decoder, reads it.
#include "asset_maker/tunes.h"
#include "engine/io/png.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>
#include <vorbis/vorbisfile.h>

namespace fs = std::filesystem;

namespace {

std::string stage() {
    return std::getenv("ARDLOW_STAGE_DIR");
}

// The glyphs the game asks for, written out here so that a slip in its table shows.
std::set<std::string> glyph_files() {
    std::istringstream in(
        "0 1 2 3 4 5 6 7 8 9 ua ub uc ud ue uf ug uh ui uj uk ul um un uo up uq ur us ut uu uv uw "
        "uy uz space exclamation doublequotes hash dollar percent ampersand apostrophe openparen "
        "closeparen asterisk plus comma minus dot slash colon semicolon openangle equals "
        "closeangle question at openbracket backslash closebracket caret underscore thing "
        "opencurly pipe closecurly tilde");
    std::set<std::string> names;
    for (std::string name; in >> name;) {
        names.insert(name + ".png");
    }
    return names;
}

struct image {
    std::vector<unsigned char> rgba;
    unsigned width = 0, height = 0;
};

image load(const std::string& path) {
    image im;
    const unsigned error = tulk::io::png::read(path, im.rgba, im.width, im.height);
    EXPECT_EQ(error, 0u) << path << ": " << tulk::io::png::error_text(error);
    return im;
}

} // namespace

// Every file of the font folder is a glyph: white strokes outlined dark, nothing else.
TEST(staged_data, font_folder_holds_every_glyph_outlined_on_transparent_and_nothing_else) {
    std::set<std::string> found;
    std::set<std::string> distinct; // pictures as bytes
    for (const auto& entry : fs::directory_iterator(stage() + "/textures/font")) {
        const std::string name = entry.path().stem().string();
        found.insert(entry.path().filename().string());
        const image im = load(entry.path());
        ASSERT_TRUE(im.width > 0 && im.width == im.height) << name; // drawn on a square
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
                    << name << ": " << x << ", " << y;
                EXPECT_TRUE(p.a == 0 || (x > 0 && x + 1 < int(im.width))) << "glyphs never touch";
                // A white texel is never next to a transparent one: the outline is closed.
                for (int d = 0; d < 9 && p == glm::u8vec4(255); ++d) {
                    EXPECT_NE(at(x + d % 3 - 1, y + d / 3 - 1).a, 0)
                        << name << ": " << x << ", " << y;
                }
                white += p == glm::u8vec4(255);
            }
        }
        EXPECT_EQ(white == 0, name == "space") << name;
        distinct.insert(std::string(im.rgba.begin(), im.rgba.end()));
    }
    EXPECT_EQ(found, glyph_files());
    EXPECT_EQ(distinct.size(), 68u) << "two glyphs look the same";
}

TEST(staged_data, title_picture_has_no_holes) {
    const image im = load(stage() + "/textures/title.png");
    for (std::size_t i = 3; i < im.rgba.size(); i += 4) {
        ASSERT_EQ(im.rgba[i], 255) << "the card has no holes";
    }
}

// Each piece, decoded and played on repeat, joins its end to its start without a click.
TEST(staged_data, every_tune_decodes_to_a_seamless_loop) {
    for (const auto& [name, rendered] : {std::pair{"Ouroboros.ogg", tunes::ouroboros()},
                                         std::pair{"Buff Proof.ogg", tunes::buff_proof()}}) {
        SCOPED_TRACE(name);
        OggVorbis_File file;
        ASSERT_EQ(ov_fopen((stage() + "/music/" + name).c_str(), &file), 0);
        ASSERT_EQ(ov_info(&file, -1)->channels, 2);
        EXPECT_EQ(ov_info(&file, -1)->rate, 44100);
        std::vector<std::vector<float>> pcm(2);
        int section = 0;
        float** buffers = nullptr;
        long n = 0;
        while ((n = ov_read_float(&file, &buffers, 4096, &section)) > 0) {
            for (int c = 0; c < 2; ++c) {
                pcm[c].insert(pcm[c].end(), buffers[c], buffers[c] + n);
            }
        }
        ov_clear(&file);
        ASSERT_EQ(n, 0) << "decoding failed";
        for (const std::vector<float>& channel : pcm) {
            // Exactly the rendered loop, no padding the player would play as a gap.
            ASSERT_EQ(channel.size(), rendered.frames());
            // From the last sample back to the first is no bigger a step than the piece's own.
            float largest_step = 0.0f;
            for (std::size_t i = 1; i < channel.size(); ++i) {
                largest_step = std::max(largest_step, std::abs(channel[i] - channel[i - 1]));
            }
            const float seam = std::abs(channel.back() - channel.front());
            EXPECT_LT(seam, 0.05f);
            EXPECT_LE(seam, largest_step);
        }
    }
}

TEST(staged_data, effects_open_as_chunks_of_their_length) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024), 0) << Mix_GetError();
    // Seconds at 44100 stereo frames of 16 bits a second.
    for (const auto& [name, shortest, longest] :
         {std::tuple{"Blast(1).wav", 0.7, 1.5},
          std::tuple{"167338__plimbo__pup-fat.wav", 0.15, 0.4}}) {
        Mix_Chunk* chunk =
            Mix_LoadWAV_RW(SDL_RWFromFile((stage() + "/sfx/" + name).c_str(), "rb"), 1);
        ASSERT_NE(chunk, nullptr) << Mix_GetError();
        EXPECT_GE(chunk->alen / 176400.0, shortest) << name;
        EXPECT_LE(chunk->alen / 176400.0, longest) << name;
        Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
    SDL_Quit();
}

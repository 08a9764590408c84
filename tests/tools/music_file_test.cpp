// Decodes the staged music the way a player does and checks that each piece, played on
// repeat, joins its end to its start without a click.
#include "asset_maker/tunes.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <vorbis/vorbisfile.h>

namespace {

struct decoded {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    std::vector<std::vector<float>> pcm; // one list per channel
};

decoded decode(const std::string& path) {
    decoded d;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        return d;
    }
    const vorbis_info* info = ov_info(&file, -1);
    d.channels = info->channels;
    d.rate = info->rate;
    d.pcm.resize(static_cast<std::size_t>(d.channels));
    int section = 0;
    float** buffers = nullptr;
    long n = 0;
    while ((n = ov_read_float(&file, &buffers, 4096, &section)) > 0) {
        for (int c = 0; c < d.channels; ++c) {
            d.pcm[static_cast<std::size_t>(c)].insert(d.pcm[static_cast<std::size_t>(c)].end(),
                                                      buffers[c], buffers[c] + n);
        }
    }
    d.ok = n == 0;
    ov_clear(&file);
    return d;
}

void expect_whole_loop(const std::string& name, const synth& rendered) {
    const decoded d = decode(std::string(std::getenv("ARDLOW_STAGE_DIR")) + "/music/" + name);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.rate, 44100);
    for (const std::vector<float>& channel : d.pcm) {
        // Exactly the rendered loop, no padding the player would play as a gap.
        ASSERT_EQ(channel.size(), rendered.frames());
        EXPECT_LT(std::abs(channel.back() - channel.front()), 0.05f);
    }
}

} // namespace

TEST(music_file, ouroboros_decodes_to_a_seamless_loop) {
    expect_whole_loop("Ouroboros.ogg", tunes::ouroboros());
}

TEST(music_file, buff_proof_decodes_to_a_seamless_loop) {
    expect_whole_loop("Buff Proof.ogg", tunes::buff_proof());
}

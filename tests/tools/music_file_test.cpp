// Decodes the staged music the way a player does and checks that each piece, played on
// repeat, joins its end to its start without a click.
#include "asset_maker/tunes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <vorbis/vorbisfile.h>

TEST(music_file, every_tune_decodes_to_a_seamless_loop) {
    for (const auto& [name, rendered] : {std::pair{"Ouroboros.ogg", tunes::ouroboros()},
                                         std::pair{"Buff Proof.ogg", tunes::buff_proof()}}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(std::getenv("ARDLOW_STAGE_DIR")) + "/music/" + name;
        OggVorbis_File file;
        ASSERT_EQ(ov_fopen(path.c_str(), &file), 0);
        const int channels = ov_info(&file, -1)->channels;
        ASSERT_EQ(channels, 2);
        EXPECT_EQ(ov_info(&file, -1)->rate, 44100);
        std::vector<std::vector<float>> pcm(2);
        int section = 0;
        float** buffers = nullptr;
        long n = 0;
        while ((n = ov_read_float(&file, &buffers, 4096, &section)) > 0) {
            for (int c = 0; c < channels; ++c) {
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

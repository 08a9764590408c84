#include "asset_maker/synth.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The loudest sample between two times in seconds.
float peak(const synth& s, double from, double to) {
    float p = 0.0f;
    for (auto i = static_cast<std::size_t>(from * synth::rate);
         i < static_cast<std::size_t>(to * synth::rate) && i < s.frames(); ++i) {
        p = std::max({p, std::abs(s.left(i)), std::abs(s.right(i))});
    }
    return p;
}

const synth::voice plain{.attack = 0.01, .decay = 0.1, .sustain = 0.5, .release = 0.05};

} // namespace

// A click is a sound that starts or ends away from silence.
TEST(synth, sounds_start_and_end_at_silence_a_loop_wraps_a_late_note_and_pcm_clips) {
    synth s(1.0, false);
    s.note(0.1, 0.2, 330.0, 0.8f, 0.0f, plain); // 0.2 s and 0.05 s of release
    s.kick(0.5, 0.8f);                          // 0.32 s
    EXPECT_EQ(peak(s, 0.0, 0.1), 0.0f);
    EXPECT_LT(peak(s, 0.1, 0.10007), 0.01f);
    EXPECT_GT(peak(s, 0.1, 0.2), 0.3f);
    EXPECT_LT(peak(s, 0.34993, 0.35), 0.01f);
    EXPECT_EQ(peak(s, 0.36, 0.5), 0.0f);
    EXPECT_LT(peak(s, 0.81993, 0.82), 0.01f);
    EXPECT_EQ(peak(s, 0.83, 1.0), 0.0f);

    synth looped(1.0, true);
    looped.note(0.8, 0.3, 440.0, 0.5f, 0.0f, plain); // 0.2 s before the end, 0.35 s long
    EXPECT_GT(peak(looped, 0.0, 0.1), 0.05f);
    EXPECT_EQ(peak(looped, 0.16, 0.79), 0.0f);

    // Too loud, the samples clip instead of wrapping; normalising sets the peak.
    synth short_loud(0.1, false);
    short_loud.note(0.0, 0.05, 220.0, 3.0f, 0.0f, plain);
    const std::vector<std::int16_t> loud = short_loud.pcm16();
    EXPECT_EQ(loud.size(), short_loud.frames() * 2);
    EXPECT_EQ(*std::max_element(loud.begin(), loud.end()), 32767);
    EXPECT_EQ(*std::min_element(loud.begin(), loud.end()), -32767);
    short_loud.normalise(0.5f);
    const std::vector<std::int16_t> mono = short_loud.pcm16_mono();
    EXPECT_EQ(mono.size(), short_loud.frames());
    const auto [low, high] = std::minmax_element(mono.begin(), mono.end());
    EXPECT_NEAR(std::max(-int{*low}, int{*high}), 16384, 2);
}

#include "asset_maker/synth.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

float peak(const synth& s, std::size_t from, std::size_t to) {
    float p = 0.0f;
    for (std::size_t i = from; i < to; ++i) {
        p = std::max({p, std::abs(s.left(i)), std::abs(s.right(i))});
    }
    return p;
}

synth::voice plain() {
    synth::voice v;
    v.attack = 0.01;
    v.decay = 0.1;
    v.sustain = 0.5;
    v.release = 0.05;
    return v;
}

} // namespace

TEST(synth, looped_buffer_wraps_a_late_note_to_its_start) {
    synth looped(1.0, true);
    synth once(1.0, false);
    // Starts 0.2 s before the end and lasts 0.35 s with its release.
    looped.note(0.8, 0.3, 440.0, 0.5f, 0.0f, plain());
    once.note(0.8, 0.3, 440.0, 0.5f, 0.0f, plain());
    const std::size_t tail = synth::rate / 10;
    EXPECT_GT(peak(looped, 0, tail), 0.05f);
    EXPECT_EQ(peak(once, 0, tail), 0.0f);
    EXPECT_GT(peak(once, once.frames() - tail, once.frames()), 0.05f);
    // Past the release the note is silent again.
    EXPECT_EQ(peak(looped, synth::rate * 16 / 100, synth::rate * 79 / 100), 0.0f);
}

TEST(synth, sounds_start_and_end_at_silence) {
    synth s(1.0, false);
    s.note(0.1, 0.2, 330.0, 0.8f, 0.0f, plain());
    s.kick(0.5, 0.8f);
    const std::size_t start = synth::rate / 10;
    EXPECT_EQ(peak(s, 0, start), 0.0f);
    EXPECT_LT(peak(s, start, start + 3), 0.01f); // the attack rises from zero
    EXPECT_GT(peak(s, start, start + synth::rate / 10), 0.3f);
    // Note: 0.2 s plus 0.05 s of release; kick: 0.32 s from 0.5 s.
    EXPECT_LT(peak(s, synth::rate * 35 / 100 - 3, synth::rate * 35 / 100), 0.01f);
    EXPECT_EQ(peak(s, synth::rate * 36 / 100, synth::rate / 2), 0.0f);
    EXPECT_LT(peak(s, synth::rate * 82 / 100 - 3, synth::rate * 82 / 100), 0.01f);
    EXPECT_EQ(peak(s, synth::rate * 83 / 100, s.frames()), 0.0f);
}

TEST(synth, normalise_and_pcm_conversion) {
    synth s(0.1, false);
    s.note(0.0, 0.05, 220.0, 3.0f, 0.0f, plain());
    const std::vector<std::int16_t> loud = s.pcm16();
    EXPECT_EQ(loud.size(), s.frames() * 2);
    EXPECT_EQ(*std::max_element(loud.begin(), loud.end()), 32767); // clipped, not wrapped
    EXPECT_EQ(*std::min_element(loud.begin(), loud.end()), -32767);

    s.normalise(0.5f);
    EXPECT_NEAR(peak(s, 0, s.frames()), 0.5f, 1e-6f);
    const std::vector<std::int16_t> mono = s.pcm16_mono();
    EXPECT_EQ(mono.size(), s.frames());
    const auto loudest = std::max_element(mono.begin(), mono.end(), [](auto a, auto b) {
        return std::abs(int{a}) < std::abs(int{b});
    });
    EXPECT_NEAR(std::abs(int{*loudest}), 16384, 2);
}

#include "asset_maker/effects.h"
#include "asset_maker/synth.h"
#include "asset_maker/tunes.h"

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

double rms(const synth& s, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += s.left(i) * s.left(i) + s.right(i) * s.right(i);
    }
    return std::sqrt(sum / (2.0 * static_cast<double>(to - from)));
}

int zero_crossings(const synth& s, std::size_t from, std::size_t to) {
    int n = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if ((s.left(i - 1) < 0.0f) != (s.left(i) < 0.0f)) {
            ++n;
        }
    }
    return n;
}

// How far the wave jumps from the last frame back to the first, against the largest
// jump between neighbouring frames within the piece.
void expect_seamless(const synth& s) {
    ASSERT_TRUE(s.looped());
    const std::size_t last = s.frames() - 1;
    float largest_step = 0.0f;
    for (std::size_t i = 1; i < s.frames(); ++i) {
        largest_step = std::max({largest_step, std::abs(s.left(i) - s.left(i - 1)),
                                 std::abs(s.right(i) - s.right(i - 1))});
    }
    const float seam =
        std::max(std::abs(s.left(last) - s.left(0)), std::abs(s.right(last) - s.right(0)));
    EXPECT_LT(seam, 0.05f);
    EXPECT_LE(seam, largest_step);
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

TEST(synth, pan_moves_a_sound_between_channels) {
    synth s(0.2, false);
    s.note(0.0, 0.1, 440.0, 0.5f, -1.0f, plain());
    float left = 0.0f;
    float right = 0.0f;
    for (std::size_t i = 0; i < s.frames(); ++i) {
        left = std::max(left, std::abs(s.left(i)));
        right = std::max(right, std::abs(s.right(i)));
    }
    EXPECT_GT(left, 0.1f);
    EXPECT_LT(right, 1e-4f);
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

TEST(synth, noise_is_the_same_on_every_run) {
    synth a(0.1, false);
    synth b(0.1, false);
    a.noise(0.0, 0.1, 1.0f, 0.0f, 2000.0, 500.0, 0.05);
    b.noise(0.0, 0.1, 1.0f, 0.0f, 2000.0, 500.0, 0.05);
    EXPECT_EQ(a.samples(), b.samples());
    EXPECT_GT(rms(a, 0, a.frames()), 0.01);
}

TEST(tunes, ouroboros_loops_without_a_click) {
    const synth s = tunes::ouroboros();
    expect_seamless(s);
    EXPECT_GT(rms(s, 0, s.frames()), 0.05); // it is music, not near-silence
    EXPECT_LE(peak(s, 0, s.frames()), 0.8f + 1e-6f);
}

TEST(tunes, buff_proof_loops_without_a_click) {
    const synth s = tunes::buff_proof();
    expect_seamless(s);
    EXPECT_GT(rms(s, 0, s.frames()), 0.05);
    EXPECT_LE(peak(s, 0, s.frames()), 0.8f + 1e-6f);
}

TEST(effects, blast_is_a_decaying_burst) {
    const synth s = effects::blast();
    ASSERT_FALSE(s.looped());
    const std::size_t quarter = s.frames() / 4;
    EXPECT_GT(rms(s, 0, quarter), 4.0 * rms(s, 3 * quarter, s.frames()));
    EXPECT_LT(peak(s, s.frames() - 10, s.frames()), 0.01f); // ends at silence
    EXPECT_LT(std::abs(s.left(0)), 0.01f);
}

TEST(effects, pickup_rises_in_pitch) {
    const synth s = effects::pickup();
    ASSERT_FALSE(s.looped());
    const std::size_t half = s.frames() / 2;
    // Count crossings over the first part of the sweep only, before the second voice enters.
    const std::size_t early = synth::rate * 8 / 100;
    EXPECT_GT(zero_crossings(s, early / 2, early), zero_crossings(s, 0, early / 2));
    EXPECT_GT(zero_crossings(s, half, s.frames()), zero_crossings(s, 0, half));
    EXPECT_LT(peak(s, s.frames() - 10, s.frames()), 0.01f);
}

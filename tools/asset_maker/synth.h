#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

// A stereo mixing buffer at 44100 Hz with a few simple instruments. In a looped buffer
// whatever sounds past the end wraps round to the start, so the last frame leads into the
// first exactly as it would into the next sample: a piece made here loops without a seam.
// Every sound starts and ends at zero amplitude, and the noise comes from a fixed seed, so
// the same calls give the same samples on every run.
class synth {
public:
    static constexpr int rate = 44100;

    // Timbre and envelope of a pitched note. Harmonic k+1 has amplitude harmonics[k] and
    // fades faster than the fundamental by `brightness_decay` per harmonic (0: steady).
    struct voice {
        std::array<float, 8> harmonics{1.0f};
        double attack = 0.01; // seconds to full level
        double decay = 0.3;   // time constant of the fall towards the sustain level
        double sustain = 0.5; // level held until the note's length is up
        double release = 0.1; // seconds from the note's end down to silence
        double vibrato = 0.0; // depth in semitones
        double vibrato_rate = 5.0;
        double detune = 0.0; // cents of a second, detuned copy (0: none)
        double brightness_decay = 0.0;
    };

    synth(double seconds, bool looped);

    std::size_t frames() const { return samples_.size() / 2; }
    bool looped() const { return looped_; }
    // Interleaved left, right.
    const std::vector<float>& samples() const { return samples_; }
    float left(std::size_t frame) const { return samples_[frame * 2]; }
    float right(std::size_t frame) const { return samples_[frame * 2 + 1]; }

    // Times in seconds, frequencies in Hz, pan from -1 (left) to 1 (right).
    void note(double start, double length, double frequency, float volume, float pan,
              const voice& v);
    // A tone gliding exponentially from f0 to f1, fading with time constant `decay`;
    // `odd_harmonics` > 1 adds odd harmonics for a hollow, square-like sound.
    void sweep(double start, double duration, double f0, double f1, float volume, float pan,
               double decay, int odd_harmonics = 1);
    // White noise through a one-pole low-pass whose cutoff glides from c0 to c1 Hz (or the
    // part above the cutoff, when `high_pass`), fading with time constant `decay`.
    void noise(double start, double duration, float volume, float pan, double c0, double c1,
               double decay, bool high_pass = false);

    void kick(double start, float volume);
    void snare(double start, float volume);
    void hat(double start, float volume, float pan);

    // Scales everything so the loudest sample has magnitude `peak`.
    void normalise(float peak);
    // Rounded and clipped to 16-bit: interleaved stereo, or both channels mixed to one.
    std::vector<std::int16_t> pcm16() const;
    std::vector<std::int16_t> pcm16_mono() const;

    static double midi(double note) { return 440.0 * std::exp2((note - 69.0) / 12.0); }

private:
    void add(long frame, float value, float pan);
    float next_noise();

    bool looped_;
    std::vector<float> samples_;
    std::uint32_t noise_state = 0x2545F491u;
};

#include "asset_maker/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;
constexpr double highest_partial = 16000.0;

// Short linear ramps at both ends, so even a percussive sound begins and ends at zero.
double edges(double t, double duration) {
    const double in = std::min(1.0, t / 0.002);
    const double out = std::min(1.0, (duration - t) / 0.01);
    return std::max(0.0, std::min(in, out));
}

long to_frame(double seconds) {
    return std::lround(seconds * synth::rate);
}

} // namespace

synth::synth(double seconds, bool looped)
    : looped_(looped), samples_(static_cast<std::size_t>(to_frame(seconds)) * 2, 0.0f) {}

void synth::add(long frame, float value, float pan) {
    const long n = static_cast<long>(frames());
    if (n == 0) {
        return;
    }
    if (looped_) {
        frame = ((frame % n) + n) % n;
    } else if (frame < 0 || frame >= n) {
        return;
    }
    // Equal-power panning keeps a sound equally loud wherever it sits.
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * std::numbers::pi / 4.0;
    samples_[static_cast<std::size_t>(frame) * 2] += value * static_cast<float>(std::cos(angle));
    samples_[static_cast<std::size_t>(frame) * 2 + 1] +=
        value * static_cast<float>(std::sin(angle));
}

float synth::next_noise() {
    // xorshift32: fast, and the same sequence everywhere.
    noise_state ^= noise_state << 13;
    noise_state ^= noise_state >> 17;
    noise_state ^= noise_state << 5;
    return static_cast<float>(noise_state) / 2147483648.0f - 1.0f;
}

void synth::note(double start, double length, double frequency, float volume, float pan,
                 const voice& v) {
    const double total = length + v.release;
    const long first = to_frame(start);
    const long count = to_frame(total);
    const int copies = v.detune != 0.0 ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy) {
        const double f = frequency * std::exp2((copy == 0 ? 0.0 : v.detune) / 1200.0);
        const float copy_volume = volume / static_cast<float>(copies);
        double phase = 0.0;
        for (long i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate;
            double env = t < v.attack
                             ? t / v.attack
                             : v.sustain + (1.0 - v.sustain) * std::exp(-(t - v.attack) / v.decay);
            if (t > length) {
                // The release falls from wherever the note had got to, down to exactly zero.
                const double at_end =
                    length < v.attack
                        ? length / v.attack
                        : v.sustain + (1.0 - v.sustain) * std::exp(-(length - v.attack) / v.decay);
                env = at_end * std::max(0.0, 1.0 - (t - length) / v.release);
            }
            const double bend =
                v.vibrato * std::sin(two_pi * v.vibrato_rate * t) * std::min(1.0, t / 0.3);
            phase += two_pi * f * std::exp2(bend / 12.0) / rate;
            double value = 0.0;
            for (std::size_t k = 0; k < v.harmonics.size(); ++k) {
                const double partial = f * static_cast<double>(k + 1);
                if (v.harmonics[k] == 0.0f || partial > highest_partial) {
                    continue;
                }
                const double fade = std::exp(-v.brightness_decay * static_cast<double>(k) * t);
                value += v.harmonics[k] * fade * std::sin(phase * static_cast<double>(k + 1));
            }
            add(first + i, static_cast<float>(value * env) * copy_volume, pan);
        }
    }
}

void synth::sweep(double start, double duration, double f0, double f1, float volume, float pan,
                  double decay, int odd_harmonics) {
    const long first = to_frame(start);
    const long count = to_frame(duration);
    double phase = 0.0;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = f0 * std::pow(f1 / f0, t / duration);
        phase += two_pi * f / rate;
        double value = 0.0;
        for (int h = 1; h <= 2 * odd_harmonics - 1; h += 2) {
            if (f * h <= highest_partial) {
                value += std::sin(phase * h) / h;
            }
        }
        const double env = std::exp(-t / decay) * edges(t, duration);
        add(first + i, static_cast<float>(value * env) * volume, pan);
    }
}

void synth::noise(double start, double duration, float volume, float pan, double c0, double c1,
                  double decay, bool high_pass) {
    const long first = to_frame(start);
    const long count = to_frame(duration);
    double low = 0.0;
    for (long i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double cutoff = c0 * std::pow(c1 / c0, t / duration);
        const double a = 1.0 - std::exp(-two_pi * cutoff / rate);
        const double in = next_noise();
        low += a * (in - low);
        const double value = high_pass ? in - low : low;
        const double env = std::exp(-t / decay) * edges(t, duration);
        add(first + i, static_cast<float>(value * env) * volume, pan);
    }
}

void synth::kick(double start, float volume) {
    sweep(start, 0.32, 150.0, 42.0, volume, 0.0f, 0.12);
    noise(start, 0.02, volume * 0.3f, 0.0f, 3000.0, 1000.0, 0.005);
}

void synth::snare(double start, float volume) {
    noise(start, 0.22, volume, 0.1f, 1200.0, 1200.0, 0.06, true);
    sweep(start, 0.12, 210.0, 170.0, volume * 0.5f, 0.1f, 0.04);
}

void synth::hat(double start, float volume, float pan) {
    noise(start, 0.06, volume, pan, 7000.0, 7000.0, 0.015, true);
}

void synth::normalise(float peak) {
    float loudest = 0.0f;
    for (float s : samples_) {
        loudest = std::max(loudest, std::abs(s));
    }
    if (loudest == 0.0f) {
        return;
    }
    const float scale = peak / loudest;
    for (float& s : samples_) {
        s *= scale;
    }
}

namespace {

std::int16_t to_pcm(float v) {
    return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
}

} // namespace

std::vector<std::int16_t> synth::pcm16() const {
    std::vector<std::int16_t> out(samples_.size());
    std::transform(samples_.begin(), samples_.end(), out.begin(), to_pcm);
    return out;
}

std::vector<std::int16_t> synth::pcm16_mono() const {
    std::vector<std::int16_t> out(frames());
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = to_pcm((left(i) + right(i)) * 0.5f);
    }
    return out;
}

#include "asset_maker/tunes.h"

#include <array>
#include <vector>

namespace {

struct chord {
    int bass;                 // MIDI note, low octave
    std::array<int, 3> tones; // MIDI notes of the pad, close voicing
};

// One melody note: MIDI note (0 for a rest) and length in beats.
struct step {
    int note;
    double beats;
};

// Plays a line of steps one after another from `start` (in beats), each note slightly
// shorter than its step so repeated notes are heard apart.
void play_line(synth& s, double beat, double start, const std::vector<step>& line, float volume,
               float pan, const synth::voice& v) {
    double at = start;
    for (const step& st : line) {
        if (st.note != 0) {
            s.note(at * beat, st.beats * beat * 0.9, synth::midi(st.note), volume, pan, v);
        }
        at += st.beats;
    }
}

synth::voice warm_bass() {
    synth::voice v;
    v.harmonics = {1.0f, 0.5f, 0.25f, 0.12f, 0.06f};
    v.attack = 0.01;
    v.decay = 0.25;
    v.sustain = 0.6;
    v.release = 0.08;
    return v;
}

synth::voice soft_pad() {
    synth::voice v;
    v.harmonics = {1.0f, 0.3f, 0.15f, 0.05f};
    v.attack = 0.4;
    v.decay = 1.0;
    v.sustain = 0.8;
    v.release = 0.5;
    v.detune = 8.0;
    return v;
}

synth::voice pluck() {
    synth::voice v;
    v.harmonics = {1.0f, 0.6f, 0.3f, 0.2f, 0.1f};
    v.attack = 0.005;
    v.decay = 0.18;
    v.sustain = 0.0;
    v.release = 0.05;
    v.brightness_decay = 4.0;
    return v;
}

synth::voice flute_lead() {
    synth::voice v;
    v.harmonics = {1.0f, 0.35f, 0.2f, 0.1f, 0.05f};
    v.attack = 0.03;
    v.decay = 0.5;
    v.sustain = 0.7;
    v.release = 0.15;
    v.vibrato = 0.15;
    v.vibrato_rate = 5.5;
    return v;
}

synth::voice saw_bass() {
    synth::voice v;
    v.harmonics = {1.0f, 0.5f, 0.33f, 0.25f, 0.2f, 0.16f, 0.14f, 0.12f};
    v.attack = 0.005;
    v.decay = 0.12;
    v.sustain = 0.4;
    v.release = 0.03;
    v.brightness_decay = 3.0;
    return v;
}

synth::voice brass_stab() {
    synth::voice v;
    v.harmonics = {1.0f, 0.6f, 0.4f, 0.3f, 0.2f};
    v.attack = 0.01;
    v.decay = 0.1;
    v.sustain = 0.3;
    v.release = 0.06;
    v.detune = 10.0;
    return v;
}

synth::voice square_lead() {
    synth::voice v;
    v.harmonics = {1.0f, 0.0f, 0.33f, 0.0f, 0.2f, 0.0f, 0.14f, 0.0f};
    v.attack = 0.01;
    v.decay = 0.2;
    v.sustain = 0.6;
    v.release = 0.08;
    v.vibrato = 0.1;
    v.vibrato_rate = 6.0;
    v.detune = 6.0;
    return v;
}

} // namespace

namespace tunes {

synth ouroboros() {
    const double beat = 60.0 / 105.0;
    const double bar = 4.0 * beat;
    const chord am{45, {57, 60, 64}}, f{41, {57, 60, 65}}, c{48, {55, 60, 64}}, g{43, {55, 59, 62}},
        dm{38, {57, 62, 65}}, e{40, {56, 59, 64}};
    // The piece circles back on itself: the E of the last bar leads into the opening A minor.
    const std::array<chord, 16> bars{am, f, c, g, am, f, dm, e, am, f, c, g, am, f, dm, e};
    synth s(bars.size() * bar, true);

    const synth::voice bass = warm_bass(), pad = soft_pad(), arp = pluck(), lead = flute_lead();
    const std::array<int, 8> arpeggio{0, 1, 2, 3, 2, 1, 2, 1};
    for (std::size_t b = 0; b < bars.size(); ++b) {
        const chord& ch = bars[b];
        const double t = static_cast<double>(b) * bar;
        s.note(t, 1.4 * beat, synth::midi(ch.bass), 0.5f, 0.0f, bass);
        s.note(t + 1.5 * beat, 0.4 * beat, synth::midi(ch.bass), 0.4f, 0.0f, bass);
        s.note(t + 2.0 * beat, 0.9 * beat, synth::midi(ch.bass + 12), 0.4f, 0.0f, bass);
        s.note(t + 3.0 * beat, 0.9 * beat, synth::midi(ch.bass + 7), 0.4f, 0.0f, bass);
        for (std::size_t k = 0; k < ch.tones.size(); ++k) {
            s.note(t, bar - 0.1, synth::midi(ch.tones[k]), 0.12f, -0.3f + 0.3f * k, pad);
        }
        for (std::size_t i = 0; i < arpeggio.size(); ++i) {
            const int idx = arpeggio[i];
            const int tone = idx < 3 ? ch.tones[idx] + 12 : ch.tones[0] + 24;
            s.note(t + i * 0.5 * beat, 0.4 * beat, synth::midi(tone), 0.16f,
                   i % 2 == 0 ? -0.4f : 0.4f, arp);
        }
        s.kick(t, 0.35f);
        s.kick(t + 2.5 * beat, 0.2f);
        for (int i = 0; i < 8; ++i) {
            s.hat(t + i * 0.5 * beat, i % 2 == 1 ? 0.06f : 0.03f, 0.3f);
        }
    }

    // The tune enters on the second time round the progression.
    const std::vector<step> melody{
        {76, 2},   {72, 1},   {69, 1},            // Am
        {77, 1.5}, {76, 0.5}, {72, 2},            // F
        {76, 1},   {79, 1},   {76, 1},   {72, 1}, // C
        {74, 3},   {71, 1},                       // G
        {72, 1},   {76, 1},   {81, 2},            // Am
        {81, 1},   {79, 0.5}, {77, 0.5}, {76, 2}, // F
        {77, 1},   {74, 1},   {69, 1},   {74, 1}, // Dm
        {71, 2},   {68, 1},   {64, 1},            // E
    };
    play_line(s, beat, 32.0, melody, 0.3f, 0.1f, lead);

    s.normalise(0.8f);
    return s;
}

synth buff_proof() {
    const double beat = 60.0 / 140.0;
    const double bar = 4.0 * beat;
    const chord dm{38, {57, 62, 65}}, bb{46, {58, 62, 65}}, c{48, {55, 60, 64}},
        a{45, {57, 61, 64}}, gm{43, {55, 58, 62}};
    const std::array<chord, 24> bars{dm, bb, c, a, dm, bb, c,  a, dm, bb, c, a,
                                     dm, bb, c, a, gm, bb, dm, a, gm, bb, c, a};
    synth s(bars.size() * bar, true);

    const synth::voice bass = saw_bass(), stab = brass_stab(), lead = square_lead(), arp = pluck();
    const std::array<int, 8> bass_line{0, 0, 12, 0, 0, 12, 7, 12};
    for (std::size_t b = 0; b < bars.size(); ++b) {
        const chord& ch = bars[b];
        const double t = static_cast<double>(b) * bar;
        for (std::size_t i = 0; i < bass_line.size(); ++i) {
            s.note(t + i * 0.5 * beat, 0.4 * beat, synth::midi(ch.bass + bass_line[i]), 0.35f, 0.0f,
                   bass);
        }
        for (double at : {1.5, 3.5}) {
            for (std::size_t k = 0; k < ch.tones.size(); ++k) {
                s.note(t + at * beat, 0.25 * beat, synth::midi(ch.tones[k]), 0.1f,
                       -0.25f + 0.25f * k, stab);
            }
        }
        if (b >= 16) {
            // The last section adds running sixteenths over the chords.
            for (int i = 0; i < 16; ++i) {
                const int tone = ch.tones[static_cast<std::size_t>(i % 3)] + 12 * (1 + i / 8);
                s.note(t + i * 0.25 * beat, 0.2 * beat, synth::midi(tone), 0.06f,
                       i % 2 == 0 ? -0.5f : 0.5f, arp);
            }
        }

        s.kick(t, 0.6f);
        s.kick(t + 2.0 * beat, 0.6f);
        s.kick(t + 2.5 * beat, 0.35f);
        s.snare(t + beat, 0.35f);
        s.snare(t + 3.0 * beat, 0.35f);
        for (int i = 0; i < 8; ++i) {
            s.hat(t + i * 0.5 * beat, i % 2 == 1 ? 0.14f : 0.08f, i % 2 == 1 ? 0.3f : -0.3f);
        }
    }
    // A snare roll in the last bar turns the loop round.
    for (int i = 0; i < 6; ++i) {
        s.snare((bars.size() - 1) * bar + (2.5 + i * 0.25) * beat, 0.12f + 0.03f * i);
    }

    const std::vector<step> theme{
        {69, 0.5}, {74, 0.5}, {77, 1},   {76, 0.5}, {74, 0.5}, {69, 1}, // Dm
        {70, 0.5}, {74, 0.5}, {77, 1},   {79, 0.5}, {77, 0.5}, {74, 1}, // Bb
        {72, 0.5}, {76, 0.5}, {79, 1},   {77, 0.5}, {76, 0.5}, {72, 1}, // C
        {73, 1},   {76, 1},   {81, 1.5}, {79, 0.5},                     // A
        {77, 1},   {76, 0.5}, {74, 0.5}, {69, 1},   {74, 1},            // Dm
        {77, 1.5}, {79, 0.5}, {77, 1},   {74, 1},                       // Bb
        {76, 0.5}, {77, 0.5}, {79, 1},   {76, 1},   {72, 1},            // C
        {69, 2},   {73, 1},   {76, 1},                                  // A
    };
    const std::vector<step> answer{
        {79, 1},   {77, 0.5}, {74, 0.5}, {70, 1},   {74, 1},            // Gm
        {77, 1.5}, {74, 0.5}, {77, 1},   {79, 1},                       // Bb
        {81, 1},   {77, 1},   {74, 1},   {77, 0.5}, {76, 0.5},          // Dm
        {76, 2},   {73, 1},   {69, 1},                                  // A
        {79, 0.5}, {81, 0.5}, {82, 1},   {81, 0.5}, {79, 0.5}, {77, 1}, // Gm
        {77, 0.5}, {79, 0.5}, {77, 0.5}, {74, 0.5}, {70, 2},            // Bb
        {72, 0.5}, {76, 0.5}, {79, 1},   {84, 1},   {79, 1},            // C
        {81, 2},   {76, 1},   {73, 1},                                  // A
    };
    play_line(s, beat, 32.0, theme, 0.22f, 0.1f, lead);
    play_line(s, beat, 64.0, answer, 0.22f, 0.1f, lead);

    s.normalise(0.8f);
    return s;
}

} // namespace tunes

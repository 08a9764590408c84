#include "engine/audio/audio.h"

#include "support/test_context.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace audio = tulk::audio;

namespace {

// A mono 16-bit PCM WAV at 44100 Hz: a 440 Hz sine peaking at 16000.
void write_test_wav(const std::string& path, double seconds) {
    constexpr std::uint32_t rate = 44100;
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.put(static_cast<char>((value >> (8 * i)) & 0xff));
        }
    };
    out << "RIFF";
    put(36 + samples * 2, 4);
    out << "WAVEfmt ";
    // Format size, PCM and mono, rate, bytes a second, 2-byte frames of 16 bits.
    for (const std::uint32_t field : {16u, 1u << 16 | 1u, rate, rate * 2u, 16u << 16 | 2u}) {
        put(field, 4);
    }
    out << "data";
    put(samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double s = 16000.0 * std::sin(2.0 * M_PI * 440.0 * i / rate);
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(s)), 2);
    }
}

// SDL's disk driver writes what the mixer plays to a file instead of a sound card.
class audio_test : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
    }
    void TearDown() override {
        audio::destroy();
        std::filesystem::remove_all(dir);
    }

    // The largest sample magnitude the mixer wrote (signed 16-bit, little-endian).
    int peak() const {
        const std::string raw = read_file(dir + "/out.raw");
        int largest = 0;
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            const auto s = static_cast<std::int16_t>(static_cast<unsigned char>(raw[i]) |
                                                     static_cast<unsigned char>(raw[i + 1]) << 8);
            largest = std::max(largest, std::abs(static_cast<int>(s)));
        }
        return largest;
    }

    const std::string dir = make_temp_dir();
    const std::string blip = dir + "/blip.wav";
};

} // namespace

TEST_F(audio_test, volume_is_a_percentage_and_only_known_keys_above_zero_play) {
    EXPECT_EQ(audio::mixer_volume(150), 192);
    EXPECT_EQ(audio::mixer_volume(0), 0);
    // Scaling must not overflow at the ends of int.
    EXPECT_LE(audio::mixer_volume(-2147483647 - 1), 0);
    EXPECT_GE(audio::mixer_volume(2147483647), 128);

    audio::init();
    write_test_wav(blip, 0.2);
    audio::load_file(blip);
    Mix_VolumeChunk(audio::soundMap.at(blip), 77);
    audio::play_sound(blip, 0);
    audio::play_sound(blip, -20);
    audio::play_sound("nope.wav", 100);
    audio::play_music("nope.ogg");
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(Mix_VolumeChunk(audio::soundMap.at(blip), -1), 77);
    audio::play_sound(blip, 100);
    EXPECT_EQ(Mix_Playing(-1), 1);
    // Bounded, so a mixer that never finishes fails the test instead of hanging it.
    for (int waited = 0; Mix_Playing(-1) > 0 && waited < 10000; waited += 10) {
        SDL_Delay(10);
    }
    audio::destroy();
    EXPECT_GT(peak(), 16000 * 95 / 100);
    EXPECT_LE(peak(), 16001);
}

TEST_F(audio_test, reloading_a_key_frees_the_old_handle) {
    audio::init();
    write_test_wav(blip, 3.0);
    audio::load_file(blip);
    Mix_Chunk* first = audio::soundMap[blip];
    audio::play_sound(blip, 100);
    ASSERT_EQ(Mix_Playing(-1), 1);
    audio::load_file(blip);
    EXPECT_NE(audio::soundMap[blip], first);
    EXPECT_EQ(Mix_Playing(-1), 0); // the mixer halts a chunk as it frees it
    EXPECT_EQ(audio::soundMap.size(), 1u);
}

TEST_F(audio_test, a_device_that_fails_to_open_says_so_in_one_line) {
    // ALSA reports an unknown device on stderr, line after line, on any machine.
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "no-such-pcm", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    audio::init();
    std::fputs("after\n", stderr);
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(said.rfind("audio: no sound device, playing silently (", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(errors, "after\n"); // nothing from the device, and stderr works again
}

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
#include <iterator>

namespace audio = tulk::audio;

namespace {

constexpr int rate = 44100;
constexpr int amplitude = 16000;

// A mono 16-bit PCM sine at 440 Hz.
void write_wav(const std::string& path, double seconds) {
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
    for (const std::uint32_t field :
         {16u, 1u << 16 | 1u, std::uint32_t{rate}, rate * 2u, 16u << 16 | 2u}) {
        put(field, 4); // format size, PCM and mono, rate, bytes per second, 2-byte 16-bit frames
    }
    out << "data";
    put(samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double s = std::sin(2.0 * M_PI * 440.0 * i / rate);
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(amplitude * s)), 2);
    }
}

// Every test gets its own directory and SDL's disk driver, which writes what the mixer
// plays to a file instead of a sound card.
class audio_test : public testing::Test {
protected:
    void SetUp() override {
        dir = make_temp_dir();
        output = dir + "/out.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }
    void TearDown() override {
        audio::destroy();
        std::filesystem::remove_all(dir);
    }

    std::string tone(const std::string& name, double seconds) {
        write_wav(dir + "/" + name, seconds);
        return dir + "/" + name;
    }

    // The largest sample magnitude the mixer wrote (signed 16-bit, little-endian).
    int peak() const {
        std::ifstream in(output, std::ios::binary);
        const std::vector<char> raw{std::istreambuf_iterator<char>(in), {}};
        int largest = 0;
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            const auto s = static_cast<std::int16_t>(static_cast<unsigned char>(raw[i]) |
                                                     static_cast<unsigned char>(raw[i + 1]) << 8);
            largest = std::max(largest, std::abs(static_cast<int>(s)));
        }
        return largest;
    }

    std::string dir;
    std::string output;
};

} // namespace

TEST_F(audio_test, played_effect_reaches_the_output_and_unknown_keys_play_nothing) {
    audio::init();
    const std::string key = tone("blip.wav", 0.2);
    audio::load_file(key);
    audio::play_sound("nope.wav", 100);
    audio::play_music("nope.ogg");
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    audio::play_sound(key, 100);
    EXPECT_EQ(Mix_Playing(-1), 1);
    // Bounded, so a mixer that never finishes fails the test instead of hanging it.
    for (int waited = 0; Mix_Playing(-1) > 0 && waited < 10000; waited += 10) {
        SDL_Delay(10);
    }
    audio::destroy();
    EXPECT_GT(peak(), amplitude * 95 / 100);
    EXPECT_LE(peak(), amplitude + 1);
}

TEST_F(audio_test, volume_is_a_percentage_and_nothing_plays_at_zero_or_below) {
    EXPECT_EQ(audio::mixer_volume(150), 192);
    EXPECT_EQ(audio::mixer_volume(0), 0);
    // Scaling must not overflow at the ends of int.
    EXPECT_LE(audio::mixer_volume(-2147483647 - 1), 0);
    EXPECT_GE(audio::mixer_volume(2147483647), 128);

    audio::init();
    const std::string key = tone("blip.wav", 0.2);
    audio::load_file(key);
    Mix_Chunk* chunk = audio::soundMap[key];
    ASSERT_NE(chunk, nullptr);
    Mix_VolumeChunk(chunk, 77);
    audio::play_sound(key, 0);
    audio::play_sound(key, -20);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 77);
    SDL_Delay(100);
    audio::destroy();
    EXPECT_EQ(peak(), 0);
}

TEST_F(audio_test, reloading_a_key_frees_the_old_handle) {
    audio::init();
    const std::string key = tone("long.wav", 3.0);
    audio::load_file(key);
    Mix_Chunk* first = audio::soundMap[key];
    ASSERT_NE(first, nullptr);
    audio::play_sound(key, 100);
    ASSERT_EQ(Mix_Playing(-1), 1);
    audio::load_file(key);
    EXPECT_NE(audio::soundMap[key], nullptr);
    EXPECT_NE(audio::soundMap[key], first);
    // The mixer halts a chunk as it frees it.
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(audio::soundMap.size(), 1u);
}

TEST_F(audio_test, without_a_sound_device_everything_is_silent) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    write_wav(dir + "/a.wav", 0.1);
    write_wav(dir + "/b.ogg", 0.1);

    testing::internal::CaptureStdout();
    audio::init();
    audio::load_folder(dir);
    audio::play_sound(dir + "/a.wav", 100);
    audio::play_music(dir + "/b.ogg");
    audio::stop_sound();
    audio::stop_music();
    const bool sound_null = audio::soundMap.at(dir + "/a.wav") == nullptr;
    const bool music_null = audio::musicMap.at(dir + "/b.ogg") == nullptr;
    audio::destroy();
    const std::string said = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(sound_null);
    EXPECT_TRUE(music_null);
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
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
    unsetenv("AUDIODEV");

    EXPECT_EQ(said.rfind("audio: no sound device, playing silently (", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    // Nothing from the device, and stderr works again afterwards.
    EXPECT_EQ(errors, "after\n");
}

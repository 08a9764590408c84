#include "engine/audio/audio.h"

#include "engine/graphics/engine.h"
#include "engine/graphics/window.h"
#include "support/test_context.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace audio = tulk::audio;

namespace {

constexpr int rate = 44100;
constexpr int amplitude = 16000;

void put_le(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

// A mono 16-bit PCM sine at 440 Hz.
void write_wav(const std::string& path, double seconds) {
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    put_le(out, 36 + samples * 2, 4);
    out << "WAVEfmt ";
    put_le(out, 16, 4);
    put_le(out, 1, 2); // PCM
    put_le(out, 1, 2); // mono
    put_le(out, rate, 4);
    put_le(out, rate * 2, 4);
    put_le(out, 2, 2);
    put_le(out, 16, 2);
    out << "data";
    put_le(out, samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double s = std::sin(2.0 * M_PI * 440.0 * i / rate);
        put_le(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(amplitude * s)), 2);
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

    static void wait_for_silence() {
        // Bounded, so a mixer that never finishes fails the test instead of hanging it.
        for (int waited = 0; Mix_Playing(-1) > 0 && waited < 10000; waited += 10) {
            SDL_Delay(10);
        }
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

TEST_F(audio_test, played_effect_reaches_the_output) {
    audio::init();
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, 44100);
    EXPECT_EQ(format, AUDIO_S16LSB);
    EXPECT_EQ(channels, 2);

    const std::string key = tone("blip.wav", 0.2);
    audio::load_file(key);
    ASSERT_NE(audio::soundMap[key], nullptr);
    audio::play_sound(key, 100);
    EXPECT_EQ(Mix_Playing(-1), 1);
    wait_for_silence();
    audio::destroy();
    EXPECT_GT(peak(), amplitude * 95 / 100);
    EXPECT_LE(peak(), amplitude + 1);
}

TEST_F(audio_test, volume_is_a_percentage_of_full) {
    EXPECT_EQ(audio::mixer_volume(100), 128);
    EXPECT_EQ(audio::mixer_volume(150), 192);
    EXPECT_EQ(audio::mixer_volume(50), 64);
    EXPECT_EQ(audio::mixer_volume(1), 1);
    EXPECT_EQ(audio::mixer_volume(0), 0);
    EXPECT_LE(audio::mixer_volume(-1), 0);
    EXPECT_LE(audio::mixer_volume(-2147483647 - 1), 0);
    EXPECT_GE(audio::mixer_volume(2147483647), 128);

    audio::init();
    const std::string key = tone("blip.wav", 0.05);
    audio::load_file(key);
    Mix_Chunk* chunk = audio::soundMap[key];
    ASSERT_NE(chunk, nullptr);
    audio::play_sound(key, 50);
    EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 64);
    // The mixer caps what it is handed at full volume.
    audio::play_sound(key, 150);
    EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 128);
}

TEST_F(audio_test, zero_or_negative_volume_plays_nothing) {
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

TEST_F(audio_test, unknown_keys_do_nothing_and_stop_halts_what_plays) {
    audio::init();
    const std::string key = tone("blip.wav", 1.0);
    const std::string piece = tone("loop.ogg.wav", 1.0);
    audio::load_file(key);
    audio::load_file(piece);
    audio::play_music(piece);
    ASSERT_EQ(Mix_PlayingMusic(), 1);

    audio::play_sound("nope.wav", 100);
    audio::play_sound(dir + "/BLIP.wav", 100);
    audio::play_music("nope.ogg");
    audio::play_music(key); // an effect is no piece of music
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    audio::stop_music();
    EXPECT_EQ(Mix_PlayingMusic(), 0);

    audio::play_sound(key, 100);
    audio::play_sound(key, 100);
    ASSERT_EQ(Mix_Playing(-1), 2);
    audio::stop_sound();
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(audio_test, folder_loads_music_and_effects_under_their_paths) {
    const std::string sfx = dir + "/sfx";
    std::filesystem::create_directory(sfx);
    write_wav(sfx + "/Blast(1).wav", 0.1);
    write_wav(sfx + "/tone.ogg.wav", 0.1);
    std::ofstream(sfx + "/x.ogg.bak") << "not an ogg stream";
    std::ofstream(sfx + "/notes.txt") << "text";
    std::filesystem::create_directory(sfx + "/old");

    audio::init();
    audio::load_folder(sfx);
    ASSERT_EQ(audio::soundMap.size(), 1u);
    EXPECT_NE(audio::soundMap[sfx + "/Blast(1).wav"], nullptr);
    ASSERT_EQ(audio::musicMap.size(), 2u);
    ASSERT_TRUE(audio::musicMap.contains(sfx + "/x.ogg.bak"));
    EXPECT_EQ(audio::musicMap[sfx + "/x.ogg.bak"], nullptr);
    EXPECT_NE(audio::musicMap[sfx + "/tone.ogg.wav"], nullptr);

    // A piece that failed to load plays as silence.
    audio::play_music(sfx + "/x.ogg.bak");
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    audio::play_music(sfx + "/tone.ogg.wav");
    EXPECT_EQ(Mix_PlayingMusic(), 1);
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
    audio::load_file(dir + "/a.wav");
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

TEST_F(audio_test, engine_start_opens_and_stop_closes_the_mixer) {
    use_headless_video();
    tulk::graphics::window window("test", 0, 0, 16, 16, false, false);
    tulk::init();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 1);
    const std::string key = tone("blip.wav", 0.05);
    audio::load_file(key);
    EXPECT_NE(audio::soundMap[key], nullptr);
    tulk::destroy();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
    EXPECT_TRUE(audio::soundMap.empty());
}

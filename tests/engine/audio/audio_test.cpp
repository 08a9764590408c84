#include "engine/audio/audio.h"

#include "support/test_context.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string_view>

namespace audio = tulk::audio;

namespace {

// The largest magnitude among signed 16-bit little-endian samples.
int peak(std::string_view raw) {
    int largest = 0;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto s = static_cast<std::int16_t>(static_cast<unsigned char>(raw[i]) |
                                                 static_cast<unsigned char>(raw[i + 1]) << 8);
        largest = std::max(largest, std::abs(static_cast<int>(s)));
    }
    return largest;
}

// SDL's disk driver writes what the mixer plays to a file; the effect is the death sound.
class audio_test : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
    }
    void TearDown() override { audio::destroy(); }

    const std::string dir = make_temp_dir();
    const std::string blast = std::getenv("ARDLOW_STAGE_DIR") + std::string("/sfx/Blast(1).wav");
};

} // namespace

TEST_F(audio_test, volume_is_a_percentage_only_known_keys_above_zero_play_and_reloads_free) {
    // Scaling must not overflow at the ends of int.
    EXPECT_LE(audio::mixer_volume(-2147483647 - 1), 0);
    EXPECT_GE(audio::mixer_volume(2147483647), 128);

    audio::init();
    audio::load_file(blast);
    Mix_Chunk* chunk = audio::soundMap.at(blast);
    // The loaded samples, in the mixer's format: what full volume writes out unchanged.
    const int full = peak({reinterpret_cast<const char*>(chunk->abuf), chunk->alen});
    Mix_VolumeChunk(chunk, 77);
    audio::play_sound(blast, 0);
    audio::play_sound(blast, -20);
    audio::play_sound("nope.wav", 100);
    audio::play_music("nope.ogg");
    EXPECT_EQ(Mix_Playing(-1) + Mix_PlayingMusic(), 0);
    EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 77);
    audio::play_sound(blast, 100);
    EXPECT_EQ(Mix_Playing(-1), 1);
    // Reloading a key frees its old handle, and the mixer halts a chunk as it frees it.
    audio::load_file(blast);
    EXPECT_NE(audio::soundMap.at(blast), chunk);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(audio::soundMap.size(), 1u);
    audio::play_sound(blast, 100);
    // Bounded, so a mixer that never finishes fails the test instead of hanging it.
    for (int waited = 0; Mix_Playing(-1) > 0 && waited < 10000; waited += 10) {
        SDL_Delay(10);
    }
    audio::destroy();
    EXPECT_GT(full, 10000);
    EXPECT_NEAR(peak(read_file(dir + "/out.raw")), full, full / 20);
}

// ALSA reports an unknown device on stderr, line after line, on any machine.
TEST_F(audio_test, a_device_that_fails_to_open_says_so_and_leaves_stderr_quiet) {
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "no-such-pcm", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    audio::init();
    std::fputs("after\n", stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "after\n"); // and stderr works again
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("audio: no sound device", 0), 0u);
}

// Only sound names load; one that does not is named with the reason and plays as silence.
TEST_F(audio_test, a_sound_that_does_not_load_is_named_once_and_stays_silent) {
    const std::string sounds = dir + "/sounds";
    std::filesystem::create_directories(sounds + "/folder.ogg");
    std::ofstream(sounds + "/empty.wav").flush();
    std::ofstream(sounds + "/notes.wav.txt") << "not a sound";
    audio::init();
    testing::internal::CaptureStdout();
    audio::load_folder(sounds);
    const std::string said = testing::internal::GetCapturedStdout();
    const std::string silent = " not loaded, played as silence: ";
    EXPECT_THAT(said, testing::HasSubstr("sound " + sounds + "/empty.wav" + silent));
    EXPECT_THAT(said, testing::HasSubstr(sounds + "/folder.ogg" + silent + "not a regular file\n"));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2);
    EXPECT_TRUE(!audio::soundMap.contains(sounds + "/notes.wav.txt") &&
                audio::soundMap.at(sounds + "/empty.wav") == nullptr);
    audio::play_sound(sounds + "/empty.wav", 100);
    EXPECT_EQ(Mix_Playing(-1), 0);
}

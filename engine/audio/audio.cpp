#include "engine/audio/audio.h"

#include "engine/io/file.h"
#include "engine/io/folder.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tulk::audio {

std::map<std::string, Mix_Music*> musicMap;
std::map<std::string, Mix_Chunk*> soundMap;

namespace {

// False until the mixer has a device; while false nothing is handed to the mixer, so
// a machine without sound stays silent and quiet.
bool mixer_open = false;
// Whether init started SDL's audio subsystem and destroy must stop it again.
bool started_subsystem = false;

template <typename Handle, typename Free>
void store(std::map<std::string, Handle*>& table, const std::string& key, Handle* handle,
           Free free_handle) {
    auto [it, inserted] = table.try_emplace(key, handle);
    if (!inserted) {
        // Freeing also halts the old handle if it is still playing.
        if (it->second != nullptr) {
            free_handle(it->second);
        }
        it->second = handle;
    }
}

// The mixer opens files in a way that waits on a FIFO for ever; only regular files load.
// With a mixer, a file that does not load is named once with the reason; the game plays
// on with silence in its place.
template <typename Handle, typename Open>
Handle* open_sound(const std::string& path, Open open) {
    if (!mixer_open) {
        return nullptr;
    }
    const io::file f(path, io::file::read, io::file::binary);
    Handle* handle = nullptr;
    if (!f.regular()) {
        SDL_SetError("not a regular file");
    } else {
        handle = open();
    }
    if (handle == nullptr) {
        std::printf("sound %s not loaded, played as silence: %s\n", path.c_str(), Mix_GetError());
        std::fflush(stdout);
    }
    return handle;
}

void load(const std::string& key) {
    if (key.ends_with(".ogg")) {
        store(musicMap, key,
              open_sound<Mix_Music>(key, [&key] { return Mix_LoadMUS(key.c_str()); }),
              Mix_FreeMusic);
    } else if (key.ends_with(".wav")) {
        store(soundMap, key,
              open_sound<Mix_Chunk>(
                  key, [&key] { return Mix_LoadWAV_RW(SDL_RWFromFile(key.c_str(), "rb"), 1); }),
              Mix_FreeChunk);
    }
}

// Runs open with stderr shut and returns its result. Without a sound card ALSA writes a
// screenful of lines to stderr; the one line init prints says all a player needs.
template <typename Open>
int quietly(Open open) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) {
        dup2(null, STDERR_FILENO);
    }
    const int result = open();
    if (saved >= 0 && null >= 0) {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
    }
    for (const int fd : {saved, null}) {
        if (fd >= 0) {
            close(fd);
        }
    }
    return result;
}

} // namespace

void init() {
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (quietly([] { return SDL_InitSubSystem(SDL_INIT_AUDIO); }) != 0) {
            std::printf("audio: no sound device, playing silently (%s)\n", SDL_GetError());
            return;
        }
        started_subsystem = true;
    }
    if (quietly([] { return Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024); }) != 0) {
        std::printf("audio: no sound device, playing silently (%s)\n", Mix_GetError());
        return;
    }
    mixer_open = true;
}

void destroy() {
    for (auto& [key, chunk] : soundMap) {
        if (chunk != nullptr) {
            Mix_FreeChunk(chunk);
        }
    }
    for (auto& [key, music] : musicMap) {
        if (music != nullptr) {
            Mix_FreeMusic(music);
        }
    }
    soundMap.clear();
    musicMap.clear();
    if (mixer_open) {
        Mix_CloseAudio();
        mixer_open = false;
    }
    if (started_subsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        started_subsystem = false;
    }
}

void load_folder(const std::string& dir) {
    for (const auto& name : io::folder(dir, false, false).get_filenames()) {
        load(dir + "/" + name);
    }
}

void load_file(const std::string& path) {
    load(path);
}

void play_music(const std::string& key) {
    const auto it = musicMap.find(key);
    if (it != musicMap.end() && it->second != nullptr) {
        Mix_PlayMusic(it->second, -1);
    }
}

int mixer_volume(int percent) {
    const float v = static_cast<float>(percent) / 100.0f * 128.0f;
    // Only the extremes of int fall outside int once scaled; the mixer caps at 128 anyway.
    if (v >= 2147483520.0f) {
        return 2147483520;
    }
    if (v <= -2147483648.0f) {
        return -2147483647 - 1;
    }
    return static_cast<int>(v);
}

void play_sound(const std::string& key, int volume) {
    const auto it = soundMap.find(key);
    if (it == soundMap.end() || it->second == nullptr) {
        return;
    }
    const int v = mixer_volume(volume);
    if (v <= 0) {
        return;
    }
    Mix_VolumeChunk(it->second, v);
    // With every channel busy the effect is dropped.
    Mix_PlayChannelTimed(-1, it->second, 0, -1);
}

void set_volumes(int music_percent, int effects_percent) {
    if (mixer_open) {
        Mix_VolumeMusic(std::clamp(mixer_volume(music_percent), 0, MIX_MAX_VOLUME));
        // A channel's volume scales the effect's own, which play_sound sets.
        Mix_Volume(-1, std::clamp(mixer_volume(effects_percent), 0, MIX_MAX_VOLUME));
    }
}

void stop_sound() {
    if (mixer_open) {
        Mix_HaltChannel(-1);
    }
}

void stop_music() {
    if (mixer_open) {
        Mix_HaltMusic();
    }
}

} // namespace tulk::audio

#include "world_support.h"

#include "engine/audio/audio.h"
#include "support/test_context.h"

#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

void put_u32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
}

void put_u16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

// 441 samples of 16-bit mono silence at 44100 Hz.
std::vector<unsigned char> short_wav() {
    const std::uint32_t samples = 441;
    const std::uint32_t data_bytes = samples * 2;
    std::vector<unsigned char> out;
    for (char c : std::string("RIFF"))
        out.push_back(static_cast<unsigned char>(c));
    put_u32(out, 36 + data_bytes);
    for (char c : std::string("WAVEfmt "))
        out.push_back(static_cast<unsigned char>(c));
    put_u32(out, 16);
    put_u16(out, 1); // PCM
    put_u16(out, 1); // mono
    put_u32(out, 44100);
    put_u32(out, 44100 * 2);
    put_u16(out, 2);
    put_u16(out, 16);
    for (char c : std::string("data"))
        out.push_back(static_cast<unsigned char>(c));
    put_u32(out, data_bytes);
    out.resize(out.size() + data_bytes, 0);
    return out;
}

} // namespace

Mix_Chunk* load_marked_sound(const std::string& key) {
    // The window opened SDL's audio with the default driver; reopen it on the dummy one.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    tulk::audio::init();
    namespace fs = std::filesystem;
    const fs::path dir = make_temp_dir();
    const fs::path file = dir / key;
    fs::create_directories(file.parent_path());
    const auto bytes = short_wav();
    FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) {
        throw std::runtime_error("cannot write " + file.string());
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);

    // The game loads "sfx" relative to its working directory, keyed "sfx/<name>".
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    tulk::audio::load_folder(fs::path(key).parent_path().string());
    fs::current_path(old);

    const auto it = tulk::audio::soundMap.find(key);
    if (it == tulk::audio::soundMap.end() || it->second == nullptr) {
        return nullptr;
    }
    Mix_VolumeChunk(it->second, 1);
    return it->second;
}

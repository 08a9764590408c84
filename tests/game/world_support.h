#pragma once

#include "game/game_clock.h"

#include <SDL2/SDL_mixer.h>
#include <cstdint>
#include <string>

// A hand-set game clock that also counts how often it was read: only deaths and the
// death-done test read it, so the count tells how many times set_dead ran.
class fake_clock {
public:
    fake_clock() {
        ticks = 0;
        reads = 0;
        game_clock::set_source(&read);
    }
    ~fake_clock() { game_clock::set_source(nullptr); }

    static inline std::uint32_t ticks = 0;
    static inline int reads = 0;

private:
    static std::uint32_t read() {
        ++reads;
        return ticks;
    }
};

// Opens the mixer on SDL's dummy audio driver and loads a short generated WAV under
// `key` ("sfx/<name>.wav"), the way the game loads its sfx folder. Its chunk volume is
// set to 1, so a later play at volume 100 shows as 128.
Mix_Chunk* load_marked_sound(const std::string& key);

#pragma once

#include "game/game_clock.h"

#include <cstdint>

// A hand-set game clock for its lifetime; `reads` counts every read of the clock.
struct fake_clock {
    fake_clock() { game_clock::set_source(&read); }
    ~fake_clock() { game_clock::set_source(nullptr); }
    static std::uint32_t read() {
        ++reads;
        return ticks;
    }

    static inline std::uint32_t ticks = 0;
    static inline int reads = 0;
};

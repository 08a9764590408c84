#pragma once

#include <cstdint>

// The game's millisecond clock. It reads SDL's tick counter; tests swap in a source of
// their own so that time-dependent rules can be checked without sleeping.
class game_clock {
public:
    using source = std::uint32_t (*)();

    // Milliseconds from the current source; wraps like SDL's 32-bit counter.
    static std::uint32_t now();

    // Replaces the source; null restores SDL_GetTicks.
    static void set_source(source s);

private:
    static source sSource;
};

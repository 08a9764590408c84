#pragma once

#include <cstdint>

// The game's millisecond clock. It reads SDL's tick counter; tests swap in a source of
// their own so that time-dependent rules can be checked without sleeping.
class game_clock {
public:
    using source = std::uint32_t (*)();

    // Milliseconds from the current source; wraps like SDL's 32-bit counter.
    static std::uint32_t now();

    // Milliseconds that also count the time the machine was suspended, which SDL's
    // counter leaves out; from the same source as now() when one is set.
    static std::uint32_t with_suspend();

    // Processor time the whole process has had, in milliseconds. Never replaced: time
    // that passed without it is time the game was not running.
    static std::uint32_t processor();

    // Replaces the source; null restores SDL_GetTicks.
    static void set_source(source s);

private:
    static source sSource;
};

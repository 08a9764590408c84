#pragma once

#include "game/replay.h"

#include <cstdint>

class snake;

// Records a game as it is played: its seed, then around each world update the inputs the
// update takes and, every replay::check_interval updates, a check of the state.
class replay_recorder {
public:
    // A new recording of a game whose random placement starts from `seed`.
    void start(std::uint32_t seed);
    void before_update(const snake& s);
    void after_update(const snake& s);
    // The game ended with `score` after its last update: the whole recording. Nothing is
    // recorded again until the next start.
    replay finish(unsigned score, const snake& s);

    bool recording() const { return active; }

    // The snake's inputs, clamped to what the keys give (-1, 0, 1 and on or off).
    static replay::inputs inputs_of(const snake& s);
    // A CRC-32 of the head's position, the heading and the length, bit for bit.
    static std::uint32_t check_of(const snake& s);

private:
    replay taken;
    bool active = false;
};

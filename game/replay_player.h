#pragma once

#include "game/replay.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

class level;
class snake;

namespace tulk::graphics {
class scene;
}

// Plays a recording back: before each world update it sets the snake's inputs as the
// recorded update took them, after it compares the state with the recording's checks.
class replay_player {
public:
    explicit replay_player(replay r);

    // Sets the snake's inputs to `held`, as the next update takes them.
    static void apply(replay::inputs held, snake& s);

    const replay& get_replay() const { return recording; }
    void before_update(snake& s);
    void after_update(const snake& s);
    // Updates played so far.
    std::uint32_t get_done() const { return done; }
    // The recording's game ends in its next update (as the game ends one, the whole
    // update still runs).
    bool last_update_next() const { return done + 1 >= recording.updates; }
    bool finished() const { return done >= recording.updates; }
    // The first update after which the state differed from the recording's check.
    std::optional<std::uint32_t> get_diverged_at() const {
        return diverged_at != 0 ? std::optional<std::uint32_t>(diverged_at) : std::nullopt;
    }

    struct outcome {
        std::uint32_t score = 0;
        std::uint32_t updates = 0;
        // The update after which the snake was dead first; 0 when it never died.
        std::uint32_t death_update = 0;
        std::optional<std::uint32_t> diverged_at;
    };
    // Plays `r` through, as fast as it goes, in the world of `s` and `l`, with the
    // scenes they use: the world updates as the game runs them, from the recording's seed.
    // Needs the GL context the models are made in.
    static outcome play_through(const replay& r, snake& s, level& l, tulk::graphics::scene& play,
                                tulk::graphics::scene& title);

    // The recording at `path`, or nothing after one line on `out`: "PATH: why it is none".
    static std::optional<replay> load(const std::string& path, std::FILE* out);

    // Reads the recording at `path` and plays it through in a world of its own on an
    // offscreen GL surface, shown nowhere. Prints one line on `out` and returns the exit
    // status: "PATH: score N in M updates, reproduced", 0; "PATH: diverged at update U"
    // or "PATH: why it is no replay", 1.
    static int verify_file(const std::string& path, std::FILE* out);

private:
    replay recording;
    std::uint32_t done = 0;
    std::size_t run_index = 0;
    std::uint32_t used_of_run = 0;
    // 0 while none did: updates count from 1.
    std::uint32_t diverged_at = 0;
};

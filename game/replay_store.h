#pragma once

#include "game/replay.h"

#include <string>

// The recordings kept beside the high score: "last.replay", every finished game, and
// "best.replay", the game with the highest score, which only a higher score replaces.
// Both are written as the high score is (a new file synced and renamed over the old one),
// under a lock of their own, so that two runs ending together keep the higher game.
class replay_store {
public:
    // How long a save waits for another run's lock before giving up.
    static constexpr int lock_wait_ms = 2000;

    // Keeps the files in the folder of `high_score_file`.
    explicit replay_store(const std::string& high_score_file);

    // Saves `r` as the last game, and as the best where it scored higher than the best
    // kept (or none is kept, or the kept one cannot be read as a replay). A save that
    // fails leaves the old file and says why on stdout, once per run.
    void keep(const replay& r);

    const std::string& last_file() const { return last; }
    const std::string& best_file() const { return best; }

private:
    void warn(const std::string& path, const std::string& why);

    std::string last;
    std::string best;
    bool warned = false;
};

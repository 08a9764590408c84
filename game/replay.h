#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One recorded game: the seed its random placement started from and, per world update, the
// snake's turn and speed inputs as that update took them; with the score, the number of
// updates and checks of the state along the way, so that a replay can tell where it parted
// from the game it repeats. Kept as a small binary file: a magic line, a version, the
// counts, the checks, the inputs as runs of equal updates, and a CRC-32 of all before it.
class replay {
public:
    // Inputs of one update: yaw, pitch and roll as -1, 0 or 1 in two bits each (bits 0-1,
    // 2-3, 4-5), double speed in bit 6.
    using inputs = std::uint8_t;
    struct run {
        std::uint32_t count;
        inputs held;
        bool operator==(const run&) const = default;
    };

    static constexpr inputs double_speed = 1u << 6;
    static constexpr const char* magic = "ardlow replay\n";
    static constexpr std::uint32_t version = 1;
    // A check after every this many updates, and one after the last.
    static constexpr std::uint32_t check_interval = 32;
    // About nine days of play at the game's 32 ms per update: more is a damaged count.
    static constexpr std::uint32_t most_updates = 1u << 24;

    std::uint32_t seed = 0;
    std::uint32_t score = 0;
    std::uint32_t updates = 0;
    std::uint32_t final_check = 0;
    // After update check_interval, 2 check_interval, and so on.
    std::vector<std::uint32_t> checks;
    std::vector<run> runs;

    // One more update taken with `held`.
    void add_update(inputs held);

    std::string encode() const;
    // The recording in `bytes`, or nothing with why not in `why`.
    static std::optional<replay> decode(const std::string& bytes, std::string& why);
    // The recording in the file at `path`, or nothing with why not (missing, unreadable, a
    // folder, damaged) in `why`.
    static std::optional<replay> read(const std::string& path, std::string& why);

    bool operator==(const replay&) const = default;
};

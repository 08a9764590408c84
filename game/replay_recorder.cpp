#include "game/replay_recorder.h"

#include "game/block.h"
#include "game/snake.h"

#include <cstring>
#include <utility>
#include <zlib.h>

namespace {

unsigned two_bits(int k) {
    return k < 0 ? 3u : (k > 0 ? 1u : 0u);
}

} // namespace

replay::inputs replay_recorder::inputs_of(const snake& s) {
    return static_cast<replay::inputs>(
        two_bits(s.get_yaw_input()) | two_bits(s.get_pitch_input()) << 2 |
        two_bits(s.get_roll_input()) << 4 | (s.get_double_speed() ? replay::double_speed : 0u));
}

std::uint32_t replay_recorder::check_of(const snake& s) {
    const glm::vec3& pos = s.get_head()->pos;
    const glm::vec3& direction = s.get_direction();
    const float parts[] = {pos.x, pos.y, pos.z, direction.x, direction.y, direction.z};
    std::uint32_t bits[7];
    static_assert(sizeof parts == 6 * sizeof(std::uint32_t));
    std::memcpy(bits, parts, sizeof parts);
    bits[6] = static_cast<std::uint32_t>(s.get_length());
    return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bits), sizeof bits));
}

void replay_recorder::start(std::uint32_t seed) {
    taken = replay{};
    taken.seed = seed;
    active = true;
}

void replay_recorder::before_update(const snake& s) {
    if (active) {
        taken.add_update(inputs_of(s));
    }
}

void replay_recorder::after_update(const snake& s) {
    if (active && taken.updates % replay::check_interval == 0) {
        taken.checks.push_back(check_of(s));
    }
}

replay replay_recorder::finish(unsigned score, const snake& s) {
    active = false;
    taken.score = score;
    taken.final_check = check_of(s);
    return std::move(taken);
}

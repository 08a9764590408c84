#include "bench/helix_pilot.h"

#include "game/block.h"
#include "game/game.h"

#include <cmath>
#include <glm/glm.hpp>

namespace {

constexpr float pi = 3.14159265f;
constexpr float radius = 25.0f;
constexpr float climb = 3.6f;      // per turn
constexpr float lowest = -24.0f;   // where the helix starts
constexpr float highest = 24.0f;   // the head stays 4 units below the top bars
constexpr float step = 0.8f;       // units a frame at double speed
constexpr float look_ahead = 0.3f; // radians about the axis ahead of the head
constexpr float fast_turn_limit = 2.0f * snake::turn_limit;

// The turn rate, degrees a frame, that carries the head onto a circle through `aim`
// (pure pursuit), from the bearing's two components.
float pursuit_rate(float across, float forward, float distance) {
    const float bearing = std::atan2(across, forward);
    return 2.0f * step * std::sin(bearing) / distance * 180.0f / pi;
}

} // namespace

int helix_pilot::flight_frames(int length, bool piled, int frames) {
    return approach_frames + (piled ? 0 : length - shortest) + warm_up_frames + frames;
}

bool helix_pilot::fits(int length, bool piled, int frames) {
    const float turns =
        static_cast<float>(flight_frames(length, piled, frames)) * step / (2.0f * pi * radius);
    return lowest + turns * climb <= highest;
}

void helix_pilot::steer(game& g) {
    if (!fast) {
        g.act(action::double_speed, true);
        fast = true;
    }
    const snake& s = g.get_snake();
    const glm::vec3 head = s.get_head()->pos;
    const float angle = std::atan2(head.z, head.x);
    float moved = started ? angle - last_angle : 0.0f;
    moved -= moved > pi ? 2.0f * pi : moved < -pi ? -2.0f * pi : 0.0f;
    turned += moved;
    last_angle = angle;
    started = true;

    // A point on the helix a little ahead of the head, at the height the turns so far
    // give it.
    const float ahead = angle + look_ahead;
    const glm::vec3 aim(radius * std::cos(ahead),
                        lowest + climb * (turned + look_ahead) / (2.0f * pi),
                        radius * std::sin(ahead));
    const glm::vec3 to = aim - head;
    const float distance = glm::length(to);
    const float forward = glm::dot(to, s.get_direction());
    // A positive yaw turns left (away from `right`), a positive pitch lifts the nose.
    steer_axis(g, s.get_yaw_rate(), pursuit_rate(-glm::dot(to, s.get_right()), forward, distance),
               action::yaw_left, action::yaw_right, yaw_held);
    steer_axis(g, s.get_pitch_rate(), pursuit_rate(glm::dot(to, s.get_up()), forward, distance),
               action::pitch_up, action::pitch_down, pitch_held);
}

void helix_pilot::steer_axis(game& g, float rate, float wanted, action more, action less,
                             std::optional<action>& held) {
    const float with_more = std::fmin(rate + snake::turn_step, fast_turn_limit);
    const float with_less = std::fmax(rate - snake::turn_step, -fast_turn_limit);
    const float with_none = rate * 0.5f;
    std::optional<action> want;
    float best = std::fabs(with_none - wanted);
    if (std::fabs(with_more - wanted) < best) {
        want = more;
        best = std::fabs(with_more - wanted);
    }
    if (std::fabs(with_less - wanted) < best) {
        want = less;
    }
    if (want == held) {
        return;
    }
    if (held) {
        g.act(*held, false);
    }
    if (want) {
        g.act(*want, true);
    }
    held = want;
}

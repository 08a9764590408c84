#pragma once

#include <cstdint>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <vector>

class level;
class snake;

namespace tulk::graphics {
class camera;
class model;
} // namespace tulk::graphics

// The moving things of the last two world updates, for pictures drawn between them: each
// frame shows the world at `alpha` of the way from the older state to the newer. Only what
// is drawn is ever set (a model's drawn transform, a camera made for drawing); the world's
// own positions, turns and cameras are only read.
class motion_interpolation {
public:
    // Where a camera looks from and at.
    struct view {
        glm::vec3 eye{0.0f};
        glm::vec3 centre{0.0f};
        glm::vec3 up{0.0f, 1.0f, 0.0f};
    };

    // Takes the state just updated at `time` (milliseconds); the last one becomes the older.
    // Reuses its storage, so that a running game allocates nothing here.
    void capture(const snake& s, const level& field, const tulk::graphics::camera& chase,
                 float title_angle, std::uint32_t time);
    // Drops both states: what comes next (a new game) is not swept from what was before.
    void forget();

    // How far `now` is from the newer state towards the next, in periods of `period_ms`,
    // within 0 and 1; 1 with no state.
    float alpha(std::uint32_t now, std::uint32_t period_ms) const;

    // Sets the drawn transform of every snake block and pickup of the newer state: its
    // place and turn at `alpha` from the older state's, or where it is for a model the
    // older state did not have in the same role (a new tail, a pickup just made or eaten).
    void place_models(float alpha) const;
    // The chase camera's eye, centre and up at `alpha`; where it is without two states.
    view chase_at(float alpha, const tulk::graphics::camera& chase) const;
    // The title camera's orbit angle at `alpha`; `angle` without two states.
    float title_angle_at(float alpha, float angle) const;

private:
    struct pose {
        tulk::graphics::model* model;
        glm::vec3 pos;
        glm::quat rot;
    };
    struct state {
        std::vector<pose> snake;
        std::vector<pose> pickups;
        view chase;
        float title_angle = 0.0f;
    };

    static void place(const pose& now, const pose* before, float alpha);

    state older;
    state newer;
    int count = 0; // states held, 0 to 2
    std::uint32_t newer_time = 0;
};

#pragma once

#include <glm/glm.hpp>

namespace tulk::graphics {

// The single directional light of a scene. The direction points from the light into
// the scene; the colour multiplies the lit models' colours.
class light {
public:
    light() = default;

    // Stores v normalised; a zero vector has no direction and leaves it unchanged.
    void set_direction(const glm::vec3& v);
    // Unclamped: components above 1 brighten what the light falls on.
    void set_colour(const glm::vec3& c) { colour = c; }

    const glm::vec3& get_direction() const { return direction; }
    const glm::vec3& get_colour() const { return colour; }

private:
    glm::vec3 direction{0.0f, -1.0f, 0.0f};
    glm::vec3 colour{1.0f, 1.0f, 1.0f};
};

} // namespace tulk::graphics

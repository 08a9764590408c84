#include "engine/intersections/plane.h"

namespace tulk::intersections {

plane::plane(float x, float y, float z, float w) : normal(x, y, z), distance(w) {
    const float length = glm::length(normal);
    if (length > 0.0f) {
        normal /= length;
        distance /= length;
    }
}

} // namespace tulk::intersections

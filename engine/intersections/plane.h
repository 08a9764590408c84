#pragma once

#include <glm/glm.hpp>

namespace tulk::intersections {

// A plane as a unit normal and a signed offset: points p with dot(normal, p) + distance
// >= 0 lie on its positive side.
class plane {
public:
    // The plane x*px + y*py + z*pz + w = 0, scaled so that (x, y, z) has length 1. A
    // zero (x, y, z) keeps a zero normal, so every point lies at distance w.
    plane(float x, float y, float z, float w);

    const glm::vec3& get_normal() const { return normal; }
    float get_distance() const { return distance; }

private:
    glm::vec3 normal;
    float distance;
};

} // namespace tulk::intersections

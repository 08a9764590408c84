#pragma once

#include "engine/intersections/plane.h"

#include <glm/glm.hpp>
#include <vector>

namespace tulk::intersections {

// A convex view volume bounded by planes whose normals point inwards. An empty volume
// bounds nothing and so contains everything.
class volume {
public:
    volume() = default;
    explicit volume(const glm::mat4& matrix);

    // Replaces the planes with the six of a view-projection matrix, in world space, in
    // the order left, right, top, bottom, near, far.
    void init(const glm::mat4& matrix);

    const std::vector<plane>& get_planes() const { return planes; }

private:
    std::vector<plane> planes;
};

} // namespace tulk::intersections

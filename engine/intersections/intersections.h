#pragma once

#include "engine/intersections/plane.h"
#include "engine/intersections/volume.h"

#include <glm/glm.hpp>

// Containment and overlap tests for culling and collisions. Boxes are axis-aligned,
// given by their centre and full edge lengths; bounds count as inside.
namespace tulk::intersections {

// Signed distance of a point from a plane, positive on the side the normal points to.
float distance(const plane& p, const glm::vec3& point);

// True when the point is on the positive side of (or on) every plane.
bool contains_volume_point(const volume& v, const glm::vec3& point);

// True unless the sphere lies wholly behind some plane: a sphere straddling the
// boundary counts as inside.
bool contains_volume_sphere(const volume& v, const glm::vec3& centre, float radius);

bool contains_box_point(const glm::vec3& centre, const glm::vec3& size, const glm::vec3& point);

// True when the boxes overlap on all three axes; touching faces overlap.
bool contains_box_box(const glm::vec3& centre1, const glm::vec3& size1, const glm::vec3& centre2,
                      const glm::vec3& size2);

} // namespace tulk::intersections

#include "engine/intersections/intersections.h"

namespace tulk::intersections {

float distance(const plane& p, const glm::vec3& point) {
    return glm::dot(p.get_normal(), point) + p.get_distance();
}

bool contains_volume_point(const volume& v, const glm::vec3& point) {
    for (const plane& p : v.get_planes()) {
        if (distance(p, point) < 0.0f) {
            return false;
        }
    }
    return true;
}

bool contains_volume_sphere(const volume& v, const glm::vec3& centre, float radius) {
    for (const plane& p : v.get_planes()) {
        if (distance(p, centre) < -radius) {
            return false;
        }
    }
    return true;
}

bool contains_box_point(const glm::vec3& centre, const glm::vec3& size, const glm::vec3& point) {
    const glm::vec3 half = size * 0.5f;
    for (int axis = 0; axis < 3; ++axis) {
        if (point[axis] < centre[axis] - half[axis] || point[axis] > centre[axis] + half[axis]) {
            return false;
        }
    }
    return true;
}

bool contains_box_box(const glm::vec3& centre1, const glm::vec3& size1, const glm::vec3& centre2,
                      const glm::vec3& size2) {
    const glm::vec3 half1 = size1 * 0.5f;
    const glm::vec3 half2 = size2 * 0.5f;
    for (int axis = 0; axis < 3; ++axis) {
        if (centre1[axis] + half1[axis] < centre2[axis] - half2[axis] ||
            centre1[axis] - half1[axis] > centre2[axis] + half2[axis]) {
            return false;
        }
    }
    return true;
}

} // namespace tulk::intersections

#include "engine/graphics/light.h"

namespace tulk::graphics {

void light::set_direction(const glm::vec3& v) {
    if (glm::length(v) > 0.0f) {
        direction = glm::normalize(v);
    }
}

} // namespace tulk::graphics

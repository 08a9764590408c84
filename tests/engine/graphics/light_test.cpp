#include "engine/graphics/light.h"

#include <gtest/gtest.h>

using tulk::graphics::light;

TEST(light, direction_is_normalised_and_a_zero_one_ignored) {
    light l;
    l.set_direction(glm::vec3(0.0f, -3.0f, 4.0f));
    l.set_direction(glm::vec3(0.0f));
    EXPECT_LT(glm::distance(l.get_direction(), glm::vec3(0.0f, -0.6f, 0.8f)), 1e-6f);
}

#include "engine/graphics/light.h"

#include <gtest/gtest.h>

using tulk::graphics::light;

TEST(light, direction_is_normalised_and_a_zero_one_ignored) {
    light l;
    l.set_direction(glm::vec3(0.5f, -1.2f, 0.5f));
    EXPECT_NEAR(l.get_direction().x, 0.359f, 1e-3f);
    EXPECT_NEAR(l.get_direction().y, -0.862f, 1e-3f);
    EXPECT_NEAR(l.get_direction().z, 0.359f, 1e-3f);

    const glm::vec3 before = l.get_direction();
    l.set_direction(glm::vec3(0.0f));
    EXPECT_EQ(l.get_direction(), before);
}

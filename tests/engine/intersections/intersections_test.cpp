#include "engine/intersections/intersections.h"

#include <gtest/gtest.h>

using namespace tulk::intersections;

TEST(volume, identity_matrix_bounds_the_unit_cube) {
    const volume v(glm::mat4(1.0f));
    EXPECT_TRUE(contains_volume_point(v, glm::vec3(1.0f, -1.0f, 1.0f)));
    // Each of the six planes, a hair beyond it.
    for (int k = 0; k < 6; ++k) {
        glm::vec3 beyond(0.0f);
        beyond[k / 2] = k % 2 == 0 ? 1.001f : -1.001f;
        EXPECT_FALSE(contains_volume_point(v, beyond)) << k;
    }
    // A sphere straddling a plane counts as inside.
    EXPECT_TRUE(contains_volume_sphere(v, glm::vec3(1.5f, 0.0f, 0.0f), 0.6f));
    EXPECT_FALSE(contains_volume_sphere(v, glm::vec3(1.5f, 0.0f, 0.0f), 0.4f));
}

TEST(box, touching_boxes_overlap_and_separated_ones_do_not) {
    const glm::vec3 unit(1.0f);
    EXPECT_TRUE(contains_box_point(glm::vec3(0.0f), unit, glm::vec3(0.5f, -0.5f, 0.5f)));
    EXPECT_FALSE(contains_box_point(glm::vec3(0.0f), unit, glm::vec3(0.5f, -0.51f, 0.5f)));
    EXPECT_TRUE(contains_box_box(glm::vec3(0.0f), unit, glm::vec3(1.0f, 0.0f, 0.0f), unit));
    EXPECT_TRUE(contains_box_box(glm::vec3(1.0f, 0.0f, 0.0f), unit, glm::vec3(0.0f), unit));
    EXPECT_FALSE(contains_box_box(glm::vec3(0.0f), unit, glm::vec3(1.001f, 0.0f, 0.0f), unit));
    EXPECT_FALSE(contains_box_box(glm::vec3(0.0f), unit, glm::vec3(-1.001f, 0.0f, 0.0f), unit));
    // Overlapping on two axes is not enough.
    EXPECT_FALSE(contains_box_box(glm::vec3(0.0f), unit, glm::vec3(0.5f, 0.5f, 2.0f), unit));
    // A small box inside a large one.
    EXPECT_TRUE(contains_box_box(glm::vec3(0.0f), glm::vec3(60.0f), glm::vec3(3.0f, -7.0f, 1.0f),
                                 glm::vec3(0.2f)));
}

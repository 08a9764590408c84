#include "engine/graphics/camera.h"
#include "engine/graphics/light.h"
#include "engine/intersections/intersections.h"

#include <gtest/gtest.h>

using tulk::graphics::camera;
using tulk::graphics::light;
using tulk::intersections::contains_volume_point;

namespace {

glm::vec3 to_ndc(const camera& c, const glm::vec3& point) {
    const glm::vec4 clip = c.get_view_projection_matrix() * glm::vec4(point, 1.0f);
    return glm::vec3(clip) / clip.w;
}

// The view, the projection and the frustum drawn from them, all unchanged.
void expect_same_camera(const camera& a, const camera& b) {
    EXPECT_EQ(a.get_view_projection_matrix(), b.get_view_projection_matrix());
    EXPECT_EQ(a.get_frustum().get_planes().at(0).get_normal(),
              b.get_frustum().get_planes().at(0).get_normal());
}

} // namespace

// Degenerate settings would fill the matrices with NaNs: the camera keeps what it had.
TEST(camera, degenerate_settings_change_nothing_and_a_parallel_view_spans_height_by_aspect) {
    camera c;
    c.set_eye(glm::vec3(0.0f, 0.0f, 5.0f));
    for (const auto& spoil :
         {+[](camera& d) { d.set_eye(d.get_centre()); },
          +[](camera& d) { d.set_up(glm::vec3(0.0f, 0.0f, 1.0f)); },
          +[](camera& d) { d.set_aspect_ratio(0.0f); }, +[](camera& d) { d.set_fovy(0.0f); },
          +[](camera& d) { d.set_z_near(1000.0f); }}) {
        camera spoilt = c;
        spoil(spoilt);
        expect_same_camera(spoilt, c);
    }

    // The overlay's camera: parallel, a negative near plane keeping what lies behind the eye.
    c.set_projection(camera::orthographic);
    c.set_view_height(100.0f);
    c.set_aspect_ratio(1.6f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(80.0f, 50.0f, -10.0f)).x, 1.0f, 1e-5f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(80.0f, 50.0f, -500.0f)).y, 1.0f, 1e-5f);
    const glm::vec3 behind(0.0f, 0.0f, 10.0f);
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), behind));
    c.set_z_near(-1000.0f);
    EXPECT_TRUE(contains_volume_point(c.get_frustum(), behind));
    const camera before = c;
    c.set_view_height(0.0f);
    expect_same_camera(c, before);
}

TEST(light, direction_is_normalised_and_a_zero_one_ignored) {
    light l;
    l.set_direction(glm::vec3(0.0f, -3.0f, 4.0f));
    l.set_direction(glm::vec3(0.0f));
    EXPECT_LT(glm::distance(l.get_direction(), glm::vec3(0.0f, -0.6f, 0.8f)), 1e-6f);
}

#include "engine/graphics/camera.h"
#include "engine/intersections/intersections.h"

#include <gtest/gtest.h>

using tulk::graphics::camera;
using tulk::intersections::contains_volume_point;

namespace {

glm::vec3 to_ndc(const camera& c, const glm::vec3& point) {
    const glm::vec4 clip = c.get_view_projection_matrix() * glm::vec4(point, 1.0f);
    return glm::vec3(clip) / clip.w;
}

void expect_same_frustum(const camera& a, const camera& b) {
    const auto& pa = a.get_frustum().get_planes();
    const auto& pb = b.get_frustum().get_planes();
    ASSERT_EQ(pa.size(), 6u);
    ASSERT_EQ(pb.size(), 6u);
    for (size_t k = 0; k < pa.size(); ++k) {
        EXPECT_EQ(pa[k].get_normal(), pb[k].get_normal()) << "plane " << k;
        EXPECT_EQ(pa[k].get_distance(), pb[k].get_distance()) << "plane " << k;
    }
}

} // namespace

TEST(camera, default_looks_from_behind_the_origin_along_z) {
    camera c;
    const auto& frustum = c.get_frustum();
    ASSERT_EQ(frustum.get_planes().size(), 6u);
    EXPECT_TRUE(contains_volume_point(frustum, glm::vec3(0.0f)));
    EXPECT_TRUE(contains_volume_point(frustum, glm::vec3(0.0f, 0.0f, 998.0f)));
    EXPECT_FALSE(contains_volume_point(frustum, glm::vec3(0.0f, 0.0f, 1000.0f)));
    EXPECT_FALSE(contains_volume_point(frustum, glm::vec3(0.0f, 0.0f, -1.05f)));
    EXPECT_FALSE(contains_volume_point(frustum, glm::vec3(0.0f, 0.0f, -2.0f)));
}

TEST(camera, field_of_view_is_in_degrees) {
    camera c;
    c.set_eye(glm::vec3(0.0f, 0.0f, 1.0f));
    c.set_fovy(90.0f);
    c.set_aspect_ratio(2.0f);
    // One unit in front of the eye, a 90 degree view is 2 high and 4 wide.
    EXPECT_NEAR(to_ndc(c, glm::vec3(0.0f, 1.0f, 0.0f)).y, 1.0f, 1e-4f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(2.0f, 0.0f, 0.0f)).x, 1.0f, 1e-4f);
    EXPECT_TRUE(contains_volume_point(c.get_frustum(), glm::vec3(1.98f, 0.98f, 0.0f)));
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), glm::vec3(0.0f, 1.02f, 0.0f)));
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), glm::vec3(2.02f, 0.0f, 0.0f)));
}

TEST(camera, orthographic_view_spans_height_times_aspect) {
    camera c;
    c.set_eye(glm::vec3(0.0f, 0.0f, 1.0f));
    c.set_projection(camera::orthographic);
    c.set_view_height(100.0f);
    c.set_aspect_ratio(1.6f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(80.0f, 50.0f, -10.0f)).x, 1.0f, 1e-5f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(80.0f, 50.0f, -10.0f)).y, 1.0f, 1e-5f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(-80.0f, -50.0f, -10.0f)).x, -1.0f, 1e-5f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(-80.0f, -50.0f, -10.0f)).y, -1.0f, 1e-5f);
    // Parallel projection: depth does not change where a point lands.
    EXPECT_NEAR(to_ndc(c, glm::vec3(40.0f, 0.0f, -500.0f)).x, 0.5f, 1e-5f);
    EXPECT_TRUE(contains_volume_point(c.get_frustum(), glm::vec3(79.0f, -49.0f, -10.0f)));
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), glm::vec3(81.0f, 0.0f, -10.0f)));
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), glm::vec3(0.0f, 51.0f, -10.0f)));
}

TEST(camera, orthographic_negative_near_keeps_what_is_behind_the_eye) {
    camera c;
    c.set_eye(glm::vec3(0.0f, 0.0f, 1.0f));
    c.set_projection(camera::orthographic);
    const glm::vec3 behind(0.0f, 0.0f, 10.0f);
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), behind));
    c.set_z_near(-1000.0f);
    EXPECT_TRUE(contains_volume_point(c.get_frustum(), behind));
}

TEST(camera, setters_recompute_view_and_frustum_at_once) {
    camera c;
    c.set_eye(glm::vec3(0.0f, 0.0f, 10.0f));
    EXPECT_TRUE(contains_volume_point(c.get_frustum(), glm::vec3(0.0f)));
    c.set_centre(glm::vec3(0.0f, 0.0f, 20.0f));
    EXPECT_FALSE(contains_volume_point(c.get_frustum(), glm::vec3(0.0f)));
    EXPECT_TRUE(contains_volume_point(c.get_frustum(), glm::vec3(0.0f, 0.0f, 15.0f)));

    // Rolled a quarter turn: what was up now lies to the left.
    c.set_centre(glm::vec3(0.0f));
    c.set_up(glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_GT(to_ndc(c, glm::vec3(1.0f, 0.0f, 0.0f)).y, 0.0f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(1.0f, 0.0f, 0.0f)).x, 0.0f, 1e-5f);
    EXPECT_EQ(c.get_view_projection_matrix(), c.get_projection_matrix() * c.get_view_matrix());
}

TEST(camera, eye_on_the_centre_keeps_the_previous_view) {
    camera c;
    c.set_eye(glm::vec3(3.0f, 4.0f, 5.0f));
    const camera before = c;
    c.set_eye(c.get_centre());
    EXPECT_EQ(c.get_view_matrix(), before.get_view_matrix());
    expect_same_frustum(c, before);

    // Likewise an up vector along the line of sight, or none at all.
    c.set_eye(glm::vec3(0.0f, 0.0f, 5.0f));
    const camera looking_down_z = c;
    c.set_up(glm::vec3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(c.get_view_matrix(), looking_down_z.get_view_matrix());
    expect_same_frustum(c, looking_down_z);
    c.set_up(glm::vec3(0.0f));
    EXPECT_EQ(c.get_view_matrix(), looking_down_z.get_view_matrix());
}

TEST(camera, degenerate_projection_keeps_the_previous_one) {
    camera c;
    c.set_eye(glm::vec3(0.0f, 0.0f, 10.0f));
    camera before = c;
    c.set_aspect_ratio(0.0f);
    EXPECT_EQ(c.get_projection_matrix(), before.get_projection_matrix());
    expect_same_frustum(c, before);
    c.set_aspect_ratio(1.0f);
    c.set_z_near(1000.0f);
    EXPECT_EQ(c.get_projection_matrix(), before.get_projection_matrix());
    c.set_z_near(0.1f);
    c.set_fovy(0.0f);
    EXPECT_EQ(c.get_projection_matrix(), before.get_projection_matrix());
    expect_same_frustum(c, before);
    c.set_fovy(45.0f);

    c.set_projection(camera::orthographic);
    before = c;
    c.set_view_height(0.0f);
    EXPECT_EQ(c.get_projection_matrix(), before.get_projection_matrix());
    c.set_view_height(100.0f);
    c.set_aspect_ratio(0.0f);
    EXPECT_EQ(c.get_projection_matrix(), before.get_projection_matrix());
    expect_same_frustum(c, before);

    // A sound value afterwards takes effect again.
    c.set_aspect_ratio(2.0f);
    EXPECT_NEAR(to_ndc(c, glm::vec3(100.0f, 0.0f, 0.0f)).x, 1.0f, 1e-5f);
}

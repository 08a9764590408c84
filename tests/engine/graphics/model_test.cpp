#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "support/test_context.h"

#include <algorithm>
#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>

using tulk::graphics::model;
using tulk::graphics::scene;

namespace {

void expect_near(const glm::vec3& actual, const glm::vec3& expected, float eps = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
    EXPECT_NEAR(actual.z, expected.z, eps);
}

} // namespace

TEST(model, starts_with_its_bounding_sphere_and_the_all_false_program) {
    test_context ctx;
    model m;
    EXPECT_NEAR(m.get_sphere_radius(), 0.8660254f, 1e-6f);
    EXPECT_EQ(m.get_program()->get_name(), "fffffffffff");
    // The first model also brings up the fixed programs.
    EXPECT_NE(model::sShadowProgram, nullptr);
    EXPECT_NE(model::sOutlineColourProgram, nullptr);
    EXPECT_EQ(std::count(model::sModels.begin(), model::sModels.end(), &m), 1);
}

TEST(model, models_share_the_program_of_equal_materials) {
    test_context ctx;
    model a;
    model b;
    EXPECT_EQ(a.get_program(), b.get_program());
    EXPECT_EQ(model::sMaterials.size(), 1u);
    b.set_material_lit(true);
    EXPECT_NE(a.get_program(), b.get_program());
    EXPECT_EQ(b.get_program()->get_name(), "ftfffffffff");
    EXPECT_EQ(model::sMaterials.size(), 2u);
    a.set_material_lit(true);
    EXPECT_EQ(a.get_program(), b.get_program());
}

TEST(model, origin_waits_for_the_next_matrix_update) {
    test_context ctx;
    model m;
    m.set_pos({1.0f, 2.0f, 3.0f});
    m.set_origin({0.0f, 0.0f, 5.0f});
    expect_near(m.get_world_pos(), {1.0f, 2.0f, 3.0f});
    m.set_pos({1.0f, 2.0f, 3.0f});
    expect_near(m.get_world_pos(), {1.0f, 2.0f, 8.0f});
    // The origin is applied after the rotation, in the model's own frame.
    m.set_rot(glm::angleAxis(glm::radians(90.0f), glm::vec3(0.0f, 1.0f, 0.0f)));
    expect_near(m.get_world_pos(), {6.0f, 2.0f, 3.0f});
}

TEST(model, children_follow_the_transform_but_not_the_size) {
    test_context ctx;
    model parent;
    auto* child = new model;
    parent.set_pos({10.0f, 0.0f, 0.0f});
    child->set_pos({1.0f, 0.0f, 0.0f});
    parent.add_child(child);
    EXPECT_EQ(parent.get_child(0), child);
    EXPECT_EQ(parent.get_child(1), nullptr);
    expect_near(child->get_world_pos(), {11.0f, 0.0f, 0.0f});

    parent.set_size({5.0f, 5.0f, 5.0f});
    EXPECT_NEAR(parent.get_sphere_radius(), glm::length(glm::vec3(5.0f)) / 2.0f, 1e-5f);
    expect_near(child->get_world_pos(), {11.0f, 0.0f, 0.0f});
    expect_near(child->get_size(), glm::vec3(1.0f));

    parent.rotate(90.0f, {0.0f, 0.0f, 1.0f});
    expect_near(child->get_world_pos(), {10.0f, 1.0f, 0.0f});
}

TEST(model, rotate_turns_about_the_own_normalised_axis) {
    test_context ctx;
    model m;
    m.rotate(90.0f, {1.0f, 0.0f, 0.0f});
    // An unnormalised axis is normalised, and the turn is about the already turned z axis
    // (the world's -y after the first turn), which carries x onto the world's z; a turn
    // about the world's z would carry it onto y.
    m.rotate(90.0f, {0.0f, 0.0f, 2.0f});
    const glm::vec3 x_axis = glm::vec3(m.get_model_matrix()[0]);
    expect_near(x_axis, {0.0f, 0.0f, 1.0f});
    EXPECT_NEAR(glm::length(m.get_rot()), 1.0f, 1e-5f);
}

TEST(model, detached_child_stops_following_its_former_parent) {
    test_context ctx;
    model parent;
    auto* child = new model;
    parent.set_pos({10.0f, 0.0f, 0.0f});
    child->set_pos({1.0f, 0.0f, 0.0f});
    parent.add_child(child);

    parent.detach_child(child);
    EXPECT_EQ(parent.get_child_count(), 0u);
    EXPECT_EQ(child->get_parent(), nullptr);
    expect_near(child->get_world_pos(), {1.0f, 0.0f, 0.0f});
    parent.set_pos({20.0f, 0.0f, 0.0f});
    child->set_pos({1.0f, 0.0f, 0.0f});
    expect_near(child->get_world_pos(), {1.0f, 0.0f, 0.0f});

    // Not a child (any more): nothing happens to it.
    model other;
    other.add_child(child);
    parent.detach_child(child);
    EXPECT_EQ(child->get_parent(), &other);
    parent.detach_child(nullptr);
}

TEST(model, delete_child_destroys_even_a_stranger) {
    test_context ctx;
    model parent;
    auto* child = new model;
    auto* grandchild = new model;
    child->add_child(grandchild);
    parent.add_child(child);
    auto* stranger = new model;
    ASSERT_EQ(model::sModels.size(), 4u);

    parent.delete_child(stranger);
    EXPECT_EQ(model::sModels.size(), 3u);
    EXPECT_EQ(parent.get_child_count(), 1u);

    parent.delete_child(child);
    EXPECT_EQ(parent.get_child_count(), 0u);
    EXPECT_EQ(model::sModels.size(), 1u);
    parent.delete_child(nullptr);
}

TEST(model, a_child_destroyed_directly_leaves_its_parent) {
    test_context ctx;
    model parent;
    auto* first = new model;
    auto* second = new model;
    parent.add_child(first);
    parent.add_child(second);
    delete first;
    ASSERT_EQ(parent.get_child_count(), 1u);
    EXPECT_EQ(parent.get_child(0), second);
}

TEST(model, destroyed_model_leaves_every_scene_that_listed_it) {
    test_context ctx;
    scene one;
    scene two;
    auto* m = new model;
    m->add_child(new model);
    model keeper;
    one.add_model(m);
    one.add_model(&keeper);
    two.add_model(m);
    two.add_model(m);
    EXPECT_EQ(m->get_scenes().size(), 3u);

    delete m;
    EXPECT_EQ(one.get_model_count(), 1u);
    EXPECT_EQ(one.get_model(0), &keeper);
    EXPECT_EQ(two.get_model_count(), 0u);
    // Its child went with it.
    EXPECT_EQ(model::sModels.size(), 1u);
}

TEST(model, outline_colour_is_compared_with_the_global_one) {
    test_context ctx;
    model m;
    m.set_outline_colour({1.0f, 0.0f, 0.0f});
    EXPECT_FALSE(m.get_uses_global_outline_colour());
    m.set_outline_colour({0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(m.get_uses_global_outline_colour());

    m.set_outline_colour({1.0f, 0.0f, 0.0f});
    scene::set_global_outline_colour({1.0f, 0.0f, 0.0f});
    EXPECT_TRUE(m.get_uses_global_outline_colour());
    model later;
    EXPECT_EQ(later.get_outline_colour(), glm::vec3(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(later.get_uses_global_outline_colour());
}

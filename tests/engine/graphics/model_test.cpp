#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/shader.h"
#include "engine/graphics/texture.h"
#include "support/test_context.h"

#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>

using namespace tulk::graphics;

namespace {

void expect_near(const glm::vec3& actual, const glm::vec3& expected) {
    EXPECT_LT(glm::distance(actual, expected), 1e-5f)
        << actual.x << " " << actual.y << " " << actual.z;
}

std::string source_of(const model& m) {
    return m.get_program()->get_vertex_shader()->get_source() + "\n" +
           m.get_program()->get_fragment_shader()->get_source();
}

} // namespace

TEST(model, children_follow_the_transform_but_not_the_size_and_a_destroyed_one_leaves_all) {
    test_context ctx;
    model parent;
    auto* child = new model;
    parent.set_pos({10.0f, 0.0f, 0.0f});
    child->set_pos({1.0f, 0.0f, 0.0f});
    parent.add_child(child);
    expect_near(child->get_world_pos(), {11.0f, 0.0f, 0.0f});
    parent.set_size({5.0f, 5.0f, 5.0f});
    expect_near(child->get_world_pos(), {11.0f, 0.0f, 0.0f});
    parent.rotate(90.0f, {0.0f, 0.0f, 1.0f});
    expect_near(child->get_world_pos(), {10.0f, 1.0f, 0.0f});

    parent.detach_child(child);
    EXPECT_TRUE(parent.get_child_count() == 0 && child->get_parent() == nullptr);
    expect_near(child->get_world_pos(), {1.0f, 0.0f, 0.0f});
    delete child;

    // A turn is about the model's own, normalised axis: its z is then the world's -y.
    model m;
    m.rotate(90.0f, {1.0f, 0.0f, 0.0f});
    m.rotate(90.0f, {0.0f, 0.0f, 2.0f});
    expect_near(glm::vec3(m.get_model_matrix()[0]), {0.0f, 0.0f, 1.0f});
    EXPECT_NEAR(glm::length(m.get_rot()), 1.0f, 1e-5f);

    // A destroyed model leaves its parent and every scene, its subtree with it.
    auto* first = new model;
    auto* second = new model;
    parent.add_child(first);
    parent.add_child(second);
    first->add_child(new model);
    scene one, two;
    one.add_model(first);
    one.add_model(second);
    two.add_model(first);
    two.add_model(first);

    delete first;
    ASSERT_TRUE(parent.get_child_count() == 1 && one.get_model_count() == 1);
    EXPECT_TRUE(parent.get_child(0) == second && one.get_model(0) == second);
    EXPECT_EQ(two.get_model_count(), 0u);
    EXPECT_EQ(model::sModels.size(), 3u); // parent, m and second

    parent.delete_child(second);
    EXPECT_TRUE(parent.get_child_count() == 0 && one.get_model_count() == 0);
}

// A program that fails to build ends the process: the richest material is valid GLSL ES.
TEST(material, switches_imply_what_they_need_and_shadows_off_drops_the_shadow_text) {
    test_context ctx;
    scene s;
    scene::set_global_pcf(2);
    texture bumps("bumps", texture::rgba);
    model m;
    m.set_bump_map(&bumps);
    m.set_material_bump_mapped(true);
    m.set_material_shadowed(true);
    EXPECT_EQ(m.get_material().key(), "ttttfffffff");
    // Bump mapping needs light and texturing: taking either away takes it too.
    m.set_material_lit(false);
    EXPECT_FALSE(m.get_material().bump_mapped);
    m.set_material_lit(true);
    m.set_material_bump_mapped(true);
    m.set_material_textured(false);
    EXPECT_FALSE(m.get_material().bump_mapped);

    scene::set_global_shadows(false);
    model shadowed;
    shadowed.set_material_shadowed(true);
    model plain;
    plain.set_material_lit(true);
    plain.set_material_textured(true);
    // Shadowing turns lighting and texturing on with it, yet keeps a program of its own.
    EXPECT_NE(shadowed.get_program(), plain.get_program());
    // Equal materials share one program.
    model twin;
    twin.set_material_textured(true);
    twin.set_material_lit(true);
    EXPECT_EQ(twin.get_program(), plain.get_program());
    EXPECT_EQ(source_of(shadowed), source_of(plain));
    EXPECT_EQ(source_of(shadowed).find("shadow"), std::string::npos);
}

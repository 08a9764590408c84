#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/shader.h"
#include "engine/graphics/texture.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

using tulk::graphics::model;
using tulk::graphics::scene;

namespace {

std::string source_of(const model& m) {
    return m.get_program()->get_vertex_shader()->get_source() + "\n" +
           m.get_program()->get_fragment_shader()->get_source();
}

} // namespace

// Building a program compiles and links it, and a failure ends the process: the richest
// material shows that the generated text is valid GLSL ES.
TEST(material, switches_imply_what_they_need_and_shadows_off_drops_the_shadow_text) {
    test_context ctx;
    scene s;
    scene::set_global_pcf(2);
    tulk::graphics::texture bumps("bumps", tulk::graphics::texture::rgba);
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
    EXPECT_NE(twin.get_program(), plain.get_program());
    twin.set_material_lit(true);
    EXPECT_EQ(twin.get_program(), plain.get_program());
    EXPECT_EQ(source_of(shadowed), source_of(plain));
    EXPECT_EQ(source_of(shadowed).find("shadow"), std::string::npos);
}

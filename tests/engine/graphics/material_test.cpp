#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/shader.h"
#include "engine/graphics/texture.h"
#include "support/test_context.h"

#include <gtest/gtest.h>
#include <memory>

using tulk::graphics::model;
using tulk::graphics::program;
using tulk::graphics::scene;
using tulk::graphics::texture;

namespace {

const char* const header = "#version 100\n#ifdef GL_ES\nprecision highp float;\n#endif\n\n";

std::unique_ptr<texture> one_pixel(const char* name, unsigned char grey) {
    const unsigned char rgba[4] = {grey, grey, grey, 255};
    auto t = std::make_unique<texture>(name, texture::rgba);
    t->set_data(1, 1, rgba);
    return t;
}

const std::string& vertex_of(const model& m) {
    return m.get_program()->get_vertex_shader()->get_source();
}

const std::string& fragment_of(const model& m) {
    return m.get_program()->get_fragment_shader()->get_source();
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(material, all_false_program_text_is_exact) {
    test_context ctx;
    model m;
    EXPECT_EQ(m.get_program()->get_name(), "fffffffffff");
    EXPECT_EQ(vertex_of(m),
              std::string(header) +
                  "attribute vec3 position;\nattribute vec3 normal;\nattribute vec2 texcoords;\n"
                  "attribute float texunit;\n\nuniform mat4 mvp;\n"
                  "uniform vec4 colour;\n"
                  "\n"
                  "varying vec4 out_colour;\n"
                  "\nvoid main()\n{\n"
                  "\tout_colour = colour;\n"
                  "\tvec3 dummy = normal;\n"
                  "\tgl_Position = mvp * vec4(position, 1.0);\n"
                  "}");
    EXPECT_EQ(fragment_of(m), std::string(header) + "\nvarying vec4 out_colour;\n"
                                                    "\nvoid main()\n{\n"
                                                    "\tvec4 colour = out_colour;\n"
                                                    "\t\n"
                                                    "\tgl_FragColor = colour;\n"
                                                    "}\n");
}

TEST(material, lit_two_textures_filtered_shadow_text) {
    test_context ctx;
    scene s;
    scene::set_global_pcf(3);
    auto white = one_pixel("white", 255);
    auto black = one_pixel("black", 0);
    model m;
    m.set_texture(0, white.get());
    m.set_texture(1, black.get());
    m.set_material_lit(true);
    m.set_material_shadowed(true);
    EXPECT_EQ(m.get_program()->get_name(), "ftttttfffff");

    EXPECT_TRUE(contains(vertex_of(m),
                         "uniform mat3 normal_matrix;\nuniform vec4 colour;\n"
                         "uniform vec3 light_dir;\nuniform vec3 light_colour;\n"
                         "uniform mat4 depth_mvp;\n\nvarying vec4 out_colour;\n"
                         "varying vec2 out_texcoords;\nvarying float out_texunit;\n"
                         "varying float illumination;\nvarying vec4 shadow_coord;\n"));

    const std::string& frag = fragment_of(m);
    EXPECT_TRUE(contains(frag, "uniform sampler2D texture0;\nuniform sampler2D texture1;\n"
                               "uniform sampler2D shadow_map;\n"));
    EXPECT_FALSE(contains(frag, "texture2;"));
    EXPECT_TRUE(contains(frag, "\tvec4 texture_colour = vec4(1.0,1.0,1.0,1.0);\n\n"
                               "\tif(out_texunit >= -0.1 && out_texunit <= 0.1)\n"
                               "\t\ttexture_colour = texture2D(texture0, out_texcoords);\n"
                               "\telse if(out_texunit >= 0.9 && out_texunit <= 1.1)\n"
                               "\t\ttexture_colour = texture2D(texture1, out_texcoords);\n\t\n"));
    EXPECT_TRUE(contains(frag, "\tvec2 inv = vec2(0.010000, 0.010000);\n"
                               "\tint shadowedCount = 0;\n"
                               "\tfor(float i = -1.0; i <= 1.0; ++i)\n"
                               "\t\tfor(float j = -1.0; j <= 1.0; ++j)\n"));
    EXPECT_TRUE(contains(frag, "\tfloat ill = illumination - (float(shadowedCount) * "
                               "(illumination * 0.111111));\n"
                               "\tgl_FragColor = vec4(colour.xyz * ill + colour.xyz * 0.5, "
                               "colour.w);\n}\n"));

    // An even filter centres on the texel corners; a map that is not square steps unevenly.
    scene::set_global_shadow_map_dimensions({200, 400});
    scene::set_global_pcf(4);
    EXPECT_TRUE(contains(fragment_of(m), "\tvec2 inv = vec2(0.005000, 0.002500);\n"));
    EXPECT_TRUE(contains(fragment_of(m), "\tfor(float i = -1.5; i <= 1.5; ++i)\n"));
    EXPECT_TRUE(contains(fragment_of(m), "(illumination * 0.062500));\n"));
}

TEST(material, shadows_off_drops_the_text_but_keeps_the_key) {
    test_context ctx;
    scene::set_global_shadows(false);
    model shadowed;
    shadowed.set_material_shadowed(true);
    model plain;
    plain.set_material_lit(true);
    plain.set_material_textured(true);
    // Shadowing turns lighting and texturing on with it.
    EXPECT_EQ(shadowed.get_material().key(), "ftttfffffff");
    EXPECT_EQ(plain.get_material().key(), "ftftfffffff");
    EXPECT_NE(shadowed.get_program(), plain.get_program());
    EXPECT_FALSE(contains(vertex_of(shadowed), "shadow"));
    EXPECT_FALSE(contains(fragment_of(shadowed), "shadow"));
    // Apart from its name the program is the unshadowed one.
    EXPECT_EQ(vertex_of(shadowed), vertex_of(plain));
    EXPECT_EQ(fragment_of(shadowed), fragment_of(plain));
}

TEST(material, bump_mapped_shadow_with_filtering_compiles) {
    test_context ctx;
    scene s;
    scene::set_global_pcf(2);
    auto bumps = one_pixel("bumps", 128);
    model m;
    m.set_bump_map(bumps.get());
    m.set_material_bump_mapped(true);
    m.set_material_shadowed(true);
    EXPECT_EQ(m.get_material().key(), "ttttfffffff");
    const std::string& frag = fragment_of(m);
    EXPECT_TRUE(contains(frag, "uniform sampler2D bump_map;\n"));
    EXPECT_FALSE(contains(frag, "shadowed ?"));
    EXPECT_TRUE(contains(frag, "\till = ill - (float(shadowedCount) * (ill * 0.250000));\n"
                               "\tgl_FragColor = vec4(colour.xyz * ill + colour.xyz * 0.5, "
                               "colour.w);\n"));
    // Unfiltered, the single tap decides.
    scene::set_global_pcf(0);
    EXPECT_TRUE(contains(fragment_of(m), "\tgl_FragColor = vec4((shadowed ? vec3(0.0) : "
                                         "colour.xyz * ill) + colour.xyz * 0.5, colour.w);\n"));

    // Bump mapping needs light and texturing: taking either away takes it too.
    m.set_material_lit(false);
    EXPECT_FALSE(m.get_material().bump_mapped);
    m.set_material_lit(true);
    m.set_material_bump_mapped(true);
    m.set_material_textured(false);
    EXPECT_FALSE(m.get_material().bump_mapped);
}

TEST(material, failed_compile_prints_log_and_source_and_exits) {
    // Sampling slot 0 as the shared texture without declaring it cannot compile.
    model::material broken;
    broken.textured = true;
    broken.same_texture = true;
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            test_context ctx;
            model::make_program(broken);
        },
        testing::ExitedWithCode(1),
        "^fragment shader: .+#version 100\n#ifdef GL_ES\n(.|\n)*texture2D\\(texture0, "
        "out_texcoords\\)(.|\n)*}\n$");
}

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

std::unique_ptr<texture> one_pixel(const char* name, unsigned char r, unsigned char g,
                                   unsigned char b) {
    const unsigned char rgba[4] = {r, g, b, 255};
    auto t = std::make_unique<texture>(name, texture::rgba);
    t->set_data(1, 1, rgba);
    t->set_param(texture::min_filter, texture::nearest);
    t->set_param(texture::mag_filter, texture::nearest);
    t->set_param(texture::wrap_s, texture::clamp_to_edge);
    t->set_param(texture::wrap_t, texture::clamp_to_edge);
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

model::material flags(const std::string& key) {
    // Key order: bump_mapped, lit, shadowed, textured, six slots, same_texture.
    model::material m;
    m.bump_mapped = key[0] == 't';
    m.lit = key[1] == 't';
    m.shadowed = key[2] == 't';
    m.textured = key[3] == 't';
    for (size_t k = 0; k < 6; ++k) {
        m.has_texture[k] = key[4 + k] == 't';
    }
    m.same_texture = key[10] == 't';
    return m;
}

} // namespace

TEST(material, keys_put_bump_mapping_first_and_order_the_cache) {
    model::material m;
    m.bump_mapped = true;
    m.has_texture[5] = true;
    EXPECT_EQ(m.key(), "tfffffffftf");
    const char* const keys[] = {"fffffffffff", "ffffffffftf", "ftfffffffff", "fttttffffff",
                                "tffffffffff", "tttttttttft", "ttttttttttt"};
    for (const char* a : keys) {
        EXPECT_EQ(flags(a).key(), a);
        for (const char* b : keys) {
            EXPECT_EQ(flags(a) < flags(b), std::string(a) < std::string(b)) << a << " " << b;
        }
    }
}

TEST(material, all_false_program_text_is_exact) {
    test_context ctx;
    model m;
    const program* p = m.get_program();
    EXPECT_EQ(p->get_name(), "fffffffffff");
    EXPECT_EQ(p->get_vertex_shader()->get_name(), "fffffffffffvert");
    EXPECT_EQ(p->get_fragment_shader()->get_name(), "ffffffffffffrag");
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
    auto red = one_pixel("red", 255, 0, 0);
    auto green = one_pixel("green", 0, 255, 0);
    model m;
    m.set_texture(0, red.get());
    m.set_texture(1, green.get());
    m.set_material_lit(true);
    m.set_material_shadowed(true);
    EXPECT_EQ(m.get_material().key(), "ftttttfffff");
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
}

TEST(material, filter_bounds_follow_pcf_and_the_map_size) {
    test_context ctx;
    scene s;
    scene::set_global_shadow_map_dimensions({200, 400});
    scene::set_global_pcf(4);
    model m;
    m.set_material_shadowed(true);
    const std::string& frag = fragment_of(m);
    EXPECT_TRUE(contains(frag, "\tvec2 inv = vec2(0.005000, 0.002500);\n"));
    EXPECT_TRUE(contains(frag, "\tfor(float i = -1.5; i <= 1.5; ++i)\n"));
    EXPECT_TRUE(contains(frag, "(illumination * 0.062500));\n"));

    scene::set_global_pcf(1);
    EXPECT_TRUE(contains(fragment_of(m), "\tbool shadowed = texture2D(shadow_map, "
                                         "shadow_coord.xy).z < shadow_coord.z;\n"
                                         "\tfloat ill = shadowed ? 0.0 : illumination;\n"));
}

TEST(material, shadowed_turns_lighting_and_texturing_on) {
    test_context ctx;
    model m;
    m.set_material_shadowed(true);
    EXPECT_TRUE(m.get_material().lit);
    EXPECT_TRUE(m.get_material().textured);
    EXPECT_TRUE(m.get_material().shadowed);
    EXPECT_EQ(m.get_material().key(), "ftttfffffff");
    // No slot is set, so the texture colour stays white.
    EXPECT_TRUE(contains(fragment_of(m), "\tvec4 texture_colour = vec4(1.0,1.0,1.0,1.0);\n\n\t\n"));

    m.set_material_shadowed(false);
    EXPECT_EQ(m.get_material().key(), "ftftfffffff");
}

TEST(material, shadows_off_drops_the_text_but_keeps_the_key) {
    test_context ctx;
    scene::set_global_shadows(false);
    model shadowed;
    shadowed.set_material_shadowed(true);
    model plain;
    plain.set_material_lit(true);
    plain.set_material_textured(true);
    EXPECT_EQ(shadowed.get_material().key(), "ftttfffffff");
    EXPECT_EQ(plain.get_material().key(), "ftftfffffff");
    EXPECT_NE(shadowed.get_program(), plain.get_program());
    EXPECT_FALSE(contains(vertex_of(shadowed), "shadow"));
    EXPECT_FALSE(contains(fragment_of(shadowed), "shadow"));
    // Apart from its name the program is the unshadowed one.
    EXPECT_EQ(vertex_of(shadowed), vertex_of(plain));
    EXPECT_EQ(fragment_of(shadowed), fragment_of(plain));
}

TEST(material, unlighting_clears_bump_mapping_and_untexturing_too) {
    test_context ctx;
    auto bumps = one_pixel("bumps", 128, 128, 255);
    model m;
    m.set_bump_map(bumps.get());
    EXPECT_FALSE(m.get_material().bump_mapped);
    m.set_material_bump_mapped(true);
    EXPECT_EQ(m.get_material().key(), "ttftfffffff");
    EXPECT_TRUE(contains(fragment_of(m), "uniform sampler2D bump_map;\n"));
    m.set_material_lit(false);
    EXPECT_FALSE(m.get_material().bump_mapped);
    EXPECT_FALSE(m.get_material().lit);

    m.set_material_bump_mapped(true);
    m.set_material_textured(false);
    EXPECT_FALSE(m.get_material().bump_mapped);
    EXPECT_TRUE(m.get_material().lit);
}

TEST(material, bump_mapped_shadow_with_filtering_compiles) {
    test_context ctx;
    scene s;
    scene::set_global_pcf(2);
    auto bumps = one_pixel("bumps", 128, 128, 255);
    model m;
    m.set_bump_map(bumps.get());
    m.set_material_bump_mapped(true);
    m.set_material_shadowed(true);
    EXPECT_EQ(m.get_material().key(), "ttttfffffff");
    const std::string& frag = fragment_of(m);
    EXPECT_FALSE(contains(frag, "shadowed ?"));
    EXPECT_TRUE(contains(frag, "\till = ill - (float(shadowedCount) * (ill * 0.250000));\n"
                               "\tgl_FragColor = vec4(colour.xyz * ill + colour.xyz * 0.5, "
                               "colour.w);\n"));
    // Unfiltered, the single tap decides.
    scene::set_global_pcf(0);
    EXPECT_TRUE(contains(fragment_of(m), "\tgl_FragColor = vec4((shadowed ? vec3(0.0) : "
                                         "colour.xyz * ill) + colour.xyz * 0.5, colour.w);\n"));
}

TEST(material, same_texture_in_every_slot_samples_once) {
    test_context ctx;
    auto glyph = one_pixel("glyph", 255, 255, 255);
    auto other = one_pixel("other", 0, 0, 0);
    model m;
    m.set_texture(glyph.get());
    EXPECT_TRUE(m.get_material().same_texture);
    EXPECT_FALSE(m.get_material().textured);
    m.set_material_textured(true);
    EXPECT_EQ(m.get_material().key(), "ffftttttttt");
    EXPECT_TRUE(
        contains(fragment_of(m), "\tvec4 texture_colour = texture2D(texture0, out_texcoords);\n"));

    m.set_texture(3, other.get());
    EXPECT_EQ(m.get_material().key(), "ffftttttttf");
    // A slot past the six stores nothing but still refreshes the material.
    m.set_texture(6, glyph.get());
    m.set_texture(3, glyph.get());
    EXPECT_TRUE(m.get_material().same_texture);
}

TEST(material, remake_repoints_every_model_and_keeps_the_fixed_programs) {
    test_context ctx;
    scene s;
    model a;
    model b;
    b.set_material_shadowed(true);
    model c;
    c.set_material_lit(true);
    program* shadow = model::sShadowProgram;
    program* outline = model::sOutlineProgram;
    program* outline_colour = model::sOutlineColourProgram;
    const size_t entries = model::sMaterials.size();

    scene::set_global_pcf(3);
    EXPECT_EQ(model::sMaterials.size(), entries);
    for (const model* m : {&a, &b, &c}) {
        const auto it = model::sMaterials.find(m->get_material());
        ASSERT_NE(it, model::sMaterials.end());
        EXPECT_EQ(m->get_program(), it->second);
        EXPECT_EQ(m->get_program()->get_name(), m->get_material().key());
    }
    EXPECT_TRUE(contains(fragment_of(b), "(illumination * 0.111111));\n"));
    EXPECT_EQ(model::sShadowProgram, shadow);
    EXPECT_EQ(model::sOutlineProgram, outline);
    EXPECT_EQ(model::sOutlineColourProgram, outline_colour);

    model::set_global_material_ambient(0.25f);
    model::set_global_material_diffuse(0.75f);
    EXPECT_TRUE(contains(vertex_of(c), "\tillumination = clamp(dot(-n, light_dir), 0.0, 0.8);\n"));
    EXPECT_TRUE(contains(fragment_of(c), "colour.xyz * ill + colour.xyz * 0.2, colour.w);\n"));
}

TEST(material, fixed_program_texts_are_exact) {
    test_context ctx;
    model m;
    EXPECT_EQ(model::sShadowProgram->get_name(), "shadowprogram");
    EXPECT_EQ(model::sShadowProgram->get_vertex_shader()->get_source(),
              std::string(header) + "attribute vec3 position;\n\nuniform mat4 depth_mvp;\n\n"
                                    "void main()\n{\n\tgl_Position = depth_mvp * vec4(position, "
                                    "1.0);\n}\n");
    EXPECT_EQ(model::sShadowProgram->get_fragment_shader()->get_source(),
              "#version 100\n\n#ifdef GL_ES\nprecision lowp float;\n#endif\n\nvoid main()\n{\n"
              "//gl_FragColor = vec4(gl_FragCoord.z);\n}\n");

    const std::string outline_vertex =
        std::string(header) + "attribute vec3 position;\nattribute vec3 normal;\n\nuniform mat4 "
                              "mvp;\n\nvoid main()\n{\n\tgl_Position = mvp * vec4(position, "
                              "1.0);\n}\n";
    EXPECT_EQ(model::sOutlineProgram->get_name(), "outlineprogram");
    EXPECT_EQ(model::sOutlineProgram->get_vertex_shader()->get_name(), "outlinevert");
    EXPECT_EQ(model::sOutlineProgram->get_vertex_shader()->get_source(), outline_vertex);
    EXPECT_EQ(model::sOutlineProgram->get_fragment_shader()->get_source(),
              "#version 100\n\n#ifdef GL_ES\nprecision lowp float;\n#endif\n\nvoid main()\n{\n"
              "\tgl_FragColor = vec4(0.0,0.0,0.0,1.0);\n}\n");
    EXPECT_EQ(model::sOutlineColourProgram->get_name(), "outlinecolourprogram");
    EXPECT_EQ(model::sOutlineColourProgram->get_vertex_shader()->get_source(), outline_vertex);
    EXPECT_EQ(model::sOutlineColourProgram->get_fragment_shader()->get_name(), "outlinefrag2");
    EXPECT_EQ(model::sOutlineColourProgram->get_fragment_shader()->get_source(),
              "#version 100\n\n#ifdef GL_ES\nprecision lowp float;\nuniform vec3 outline_colour;\n"
              "#endif\n\nvoid main()\n{\n\tgl_FragColor = vec4(outline_colour, 1.0);\n}\n");
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

#include "engine/graphics/material_source.h"

#include "engine/graphics/scene.h"
#include "engine/graphics/shader.h"
#include "engine/util/util.h"

namespace tulk::graphics::material_source {

using util::ftoa;

namespace {

// The lines every program opens with: the version, then the float precision inside the
// GL_ES block (with a blank line between the two in the fixed fragment programs).
const std::string version = "#version 100\n";
const std::string low_precision = "#ifdef GL_ES\nprecision lowp float;\n";
const std::string header = version + "#ifdef GL_ES\nprecision highp float;\n#endif\n\n";
const std::string fixed_fragment_header = version + "\n" + low_precision + "#endif\n";
const std::string main_opening = "\nvoid main()\n{\n";

// One of the pcf x pcf filter taps' weight: 1 / pcf².
std::string tap_weight(int pcf) {
    return ftoa(1.0f / static_cast<float>(pcf * pcf), 6);
}

void append_filter_loop(std::string& out, const settings& s) {
    const std::string bound = ftoa(static_cast<float>(s.pcf) * 0.5f - 1.0f + 0.5f, 1);
    out += "\tvec2 inv = vec2(";
    out += ftoa(s.inverse_shadow_map_dimensions.x, 6);
    out += ", ";
    out += ftoa(s.inverse_shadow_map_dimensions.y, 6);
    out += ");\n";
    out += "\tint shadowedCount = 0;\n";
    out += "\tfor(float i = -" + bound + "; i <= " + bound + "; ++i)\n";
    out += "\t\tfor(float j = -" + bound + "; j <= " + bound + "; ++j)\n";
    out += "\t\t\tshadowedCount += (texture2D(shadow_map, shadow_coord.xy + (vec2(i,j) * inv)).z "
           "< shadow_coord.z ? 1 : 0);\n";
}

// What the vertex stage hands the fragment stage, declared alike in both; only where the
// texture coordinates come in the list differs between the stages.
void append_varyings(std::string& out, const model::material& m, bool shadow, shader::type stage) {
    const char* const texture_varyings = "varying vec2 out_texcoords;\n"
                                         "varying float out_texunit;\n";
    out += "\nvarying vec4 out_colour;\n";
    if (m.textured && stage == shader::vertex) {
        out += texture_varyings;
    }
    if (m.lit && m.bump_mapped) {
        out += "varying vec3 out_normal;\n"
               "varying mat3 out_normal_matrix;\n"
               "varying vec3 out_light_dir;\n";
    }
    if (m.lit && !m.bump_mapped) {
        out += "varying float illumination;\n";
    }
    if (m.textured && stage == shader::fragment) {
        out += texture_varyings;
    }
    if (shadow) {
        out += "varying vec4 shadow_coord;\n";
    }
}

void append_texture_chain(std::string& out, const model::material& m) {
    bool first = true;
    for (int k = 0; k < 6; ++k) {
        if (!m.has_texture[static_cast<size_t>(k)]) {
            continue;
        }
        out += first ? "\tif" : "\telse if";
        first = false;
        out += "(out_texunit >= ";
        out += ftoa(static_cast<float>(k) - 0.1f, 1);
        out += " && out_texunit <= ";
        out += ftoa(static_cast<float>(k) + 0.1f, 1);
        out += ")\n";
        out += "\t\ttexture_colour = texture2D(texture";
        out += static_cast<char>('0' + k);
        out += ", out_texcoords);\n";
    }
}

} // namespace

settings current_settings() {
    settings s;
    s.ambient = model::get_global_material_ambient();
    s.diffuse = model::get_global_material_diffuse();
    s.shadows = scene::get_global_shadows();
    s.pcf = scene::get_global_pcf();
    s.inverse_shadow_map_dimensions = scene::get_global_inverse_shadow_map_dimensions();
    return s;
}

std::string vertex(const model::material& m, const settings& s) {
    const bool shadow = m.shadowed && s.shadows;
    const bool bumped_light = m.lit && m.bump_mapped;
    const bool plain_light = m.lit && !m.bump_mapped;

    std::string out;
    out.reserve(1024);
    out += header;
    out += "attribute vec3 position;\nattribute vec3 normal;\nattribute vec2 texcoords;\n"
           "attribute float texunit;\n\nuniform mat4 mvp;\n";
    if (m.lit) {
        out += "uniform mat3 normal_matrix;\n";
    }
    out += "uniform vec4 colour;\n";
    if (m.lit) {
        out += "uniform vec3 light_dir;\nuniform vec3 light_colour;\n";
    }
    if (shadow) {
        out += "uniform mat4 depth_mvp;\n";
    }
    append_varyings(out, m, shadow, shader::vertex);
    out += main_opening;
    out +=
        m.lit ? "\tout_colour = colour * vec4(light_colour, 1.0);\n" : "\tout_colour = colour;\n";
    if (m.textured) {
        out += "\tout_texcoords = texcoords;\n";
        out += "\tout_texunit = texunit;\n";
    }
    if (!m.lit) {
        out += "\tvec3 dummy = normal;\n";
    }
    if (plain_light) {
        out += "\tvec3 n = normal_matrix * normal;\n";
        out += "\tillumination = clamp(dot(-n, light_dir), 0.0, " + ftoa(s.diffuse, 1) + ");\n";
    }
    if (bumped_light) {
        out += "\tout_normal = normal;\n";
        out += "\tout_normal_matrix = normal_matrix;\n";
        out += "\tout_light_dir = light_dir;\n";
    }
    out += "\tgl_Position = mvp * vec4(position, 1.0);\n";
    if (shadow) {
        out += "\tshadow_coord = depth_mvp * vec4(position, 1.0);\n";
    }
    out += "}";
    return out;
}

std::string fragment(const model::material& m, const settings& s) {
    const bool shadow = m.shadowed && s.shadows;
    const bool filtered = shadow && s.pcf >= 2;
    const bool plain_light = m.lit && !m.bump_mapped;
    const std::string ambient = ftoa(s.ambient, 1);

    std::string out;
    out.reserve(2048);
    out += header;
    if (m.textured) {
        for (int k = 0; k < 6; ++k) {
            if (m.has_texture[static_cast<size_t>(k)]) {
                out += "uniform sampler2D texture";
                out += static_cast<char>('0' + k);
                out += ";\n";
            }
        }
        if (m.bump_mapped) {
            out += "uniform sampler2D bump_map;\n";
        }
    }
    if (shadow) {
        out += "uniform sampler2D shadow_map;\n";
    }
    append_varyings(out, m, shadow, shader::fragment);
    out += main_opening;
    if (!m.textured) {
        out += "\tvec4 colour = out_colour;\n";
    } else {
        if (m.same_texture) {
            out += "\tvec4 texture_colour = texture2D(texture0, out_texcoords);\n";
        } else {
            out += "\tvec4 texture_colour = vec4(1.0,1.0,1.0,1.0);\n\n";
            append_texture_chain(out, m);
            out += "\t\n";
        }
        out += "\tvec4 colour = vec4(out_colour.xyz * texture_colour.xyz, texture_colour.w);\n";
    }
    out += "\t\n";
    if (shadow && !filtered) {
        out += "\tbool shadowed = texture2D(shadow_map, shadow_coord.xy).z < shadow_coord.z;\n";
    }
    if (filtered) {
        append_filter_loop(out, s);
    }
    if (!m.lit) {
        out += "\tgl_FragColor = colour;\n";
    } else if (plain_light) {
        if (!shadow) {
            out += "\tfloat ill = illumination;\n\t\n";
        } else if (!filtered) {
            out += "\tfloat ill = shadowed ? 0.0 : illumination;\n";
        } else {
            out += "\tfloat ill = illumination - (float(shadowedCount) * (illumination * " +
                   tap_weight(s.pcf) + "));\n";
        }
        out +=
            "\tgl_FragColor = vec4(colour.xyz * ill + colour.xyz * " + ambient + ", colour.w);\n";
    } else {
        out += "\tvec3 normal = out_normal_matrix * normalize(out_normal + texture2D(bump_map, "
               "out_texcoords).xyz);\n\t\n\tfloat ill = pow(clamp(dot(-normal, out_light_dir), "
               "0.0, " +
               ftoa(s.diffuse, 1) + ")*1.5,2.0);\n\t\n";
        if (filtered) {
            // Filtering leaves no single `shadowed` flag: take away the shadowed share of
            // the taps from the diffuse term, as the unbumped text does.
            out += "\till = ill - (float(shadowedCount) * (ill * " + tap_weight(s.pcf) + "));\n";
        }
        if (shadow && !filtered) {
            out +=
                "\tgl_FragColor = vec4((shadowed ? vec3(0.0) : colour.xyz * ill) + colour.xyz * " +
                ambient + ", colour.w);\n";
        } else {
            out += "\tgl_FragColor = vec4(colour.xyz * ill + colour.xyz * " + ambient +
                   ", colour.w);\n";
        }
    }
    out += "}\n";
    return out;
}

// The fixed programs' text never changes, byte for byte, odd corners included: the
// commented-out line of the shadow fragment and the uniform declared inside the GL_ES block
// of the colour outline fragment (every ES compiler defines GL_ES) stay as they are.
const std::string shadow_vertex = header + "attribute vec3 position;\n\nuniform mat4 depth_mvp;\n" +
                                  main_opening +
                                  "\tgl_Position = depth_mvp * vec4(position, 1.0);\n}\n";

const std::string shadow_fragment =
    fixed_fragment_header + main_opening + "//gl_FragColor = vec4(gl_FragCoord.z);\n}\n";

const std::string outline_vertex = header +
                                   "attribute vec3 position;\nattribute vec3 normal;\n\n"
                                   "uniform mat4 mvp;\n" +
                                   main_opening + "\tgl_Position = mvp * vec4(position, 1.0);\n}\n";

std::string outline_fragment(const glm::vec3& colour) {
    std::string out = fixed_fragment_header + main_opening + "\tgl_FragColor = vec4(";
    out += ftoa(colour.r, 1) + "," + ftoa(colour.g, 1) + "," + ftoa(colour.b, 1);
    out += ",1.0);\n";
    out += "}\n";
    return out;
}

const std::string outline_colour_fragment =
    version + "\n" + low_precision + "uniform vec3 outline_colour;\n#endif\n" + main_opening +
    "\tgl_FragColor = vec4(outline_colour, 1.0);\n}\n";

} // namespace tulk::graphics::material_source

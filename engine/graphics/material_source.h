#pragma once

#include "engine/graphics/model.h"

#include <glm/glm.hpp>
#include <string>

// The GLSL ES text of every program the renderer builds. Generated programs are written
// from a material and the global settings they bake in (ambient and diffuse factors,
// shadows, filter size, shadow-map texel size); the shadow and outline programs are
// fixed apart from the outline colour.
namespace tulk::graphics::material_source {

// Baked-in settings of a generated program.
struct settings {
    float ambient = 0.5f;
    float diffuse = 0.5f;
    bool shadows = true;
    int pcf = 0;
    glm::vec2 inverse_shadow_map_dimensions{0.01f, 0.01f};
};

// The settings in force now: the global material factors and the scene-wide settings.
settings current_settings();

std::string vertex(const model::material& m, const settings& s);
std::string fragment(const model::material& m, const settings& s);

extern const std::string shadow_vertex;
extern const std::string shadow_fragment;
extern const std::string outline_vertex;
// Writes the colour into the text, so the program needs no uniform.
std::string outline_fragment(const glm::vec3& colour);
// Takes the colour as the uniform "outline_colour".
extern const std::string outline_colour_fragment;

} // namespace tulk::graphics::material_source

// The model's material and the program cache: generated and fixed programs, their uniforms.

#include "engine/graphics/model.h"

#include "engine/graphics/material_source.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"

#include <algorithm>

namespace tulk::graphics {

std::map<model::material, program*> model::sMaterials;
model::global_materials model::sGlobalMaterials;
program* model::sShadowProgram = nullptr;
program* model::sOutlineProgram = nullptr;
program* model::sOutlineColourProgram = nullptr;
std::map<const program*, model::locations> model::sLocations;
model::uniform<glm::mat4> model::sShadowDepthMvp;
model::uniform<glm::mat4> model::sOutlineMvp;
model::uniform<glm::mat4> model::sOutlineColourMvp;
model::uniform<glm::vec3> model::sOutlineColourColour;

// ---- material ----------------------------------------------------------------------------

std::string model::material::key() const {
    std::string k;
    k.reserve(11);
    const auto flag = [&k](bool b) { k += b ? 't' : 'f'; };
    flag(bump_mapped);
    flag(lit);
    flag(shadowed);
    flag(textured);
    for (bool b : has_texture) {
        flag(b);
    }
    flag(same_texture);
    return k;
}

bool model::material::operator<(const material& other) const {
    const auto flags = [](const material& m) {
        return std::array<bool, 11>{m.bump_mapped,    m.lit,
                                    m.shadowed,       m.textured,
                                    m.has_texture[0], m.has_texture[1],
                                    m.has_texture[2], m.has_texture[3],
                                    m.has_texture[4], m.has_texture[5],
                                    m.same_texture};
    };
    return flags(*this) < flags(other);
}

// ---- materials ---------------------------------------------------------------------------

model::material model::with_slot_flags(material m) const {
    for (size_t k = 0; k < 6; ++k) {
        m.has_texture[k] = textures[k] != nullptr;
    }
    return m;
}

bool model::same_texture_in_all_slots() const {
    return textures[0] != nullptr &&
           std::all_of(textures.begin() + 1, textures.end(),
                       [this](const texture* t) { return t == textures[0]; });
}

void model::set_texture(unsigned int slot, texture* t) {
    if (slot < 6) {
        textures[slot] = t;
    }
    set_material_textured(mat.textured);
}

void model::set_texture(texture* t) {
    textures.fill(t);
    set_material_textured(mat.textured);
}

void model::set_material_lit(bool b) {
    material m = mat;
    m.lit = b;
    if (!b) {
        m.bump_mapped = false;
    }
    check_material(m);
}

model::material model::with_light_map(bool b) const {
    material m = mat;
    if (b) {
        // A shadow or bump map is bound among the textures, and only shows on light.
        m = with_slot_flags(m);
        m.lit = true;
        m.textured = true;
    }
    return m;
}

void model::set_material_shadowed(bool b) {
    material m = with_light_map(b);
    m.shadowed = b;
    check_material(m);
}

void model::set_material_bump_mapped(bool b) {
    material m = with_light_map(b);
    m.bump_mapped = b;
    check_material(m);
}

void model::set_material_textured(bool b) {
    material m = mat;
    if (b) {
        m = with_slot_flags(m);
    } else {
        m.bump_mapped = false;
    }
    m.textured = b;
    check_material(m);
    check_material_same_texture();
}

void model::check_material_same_texture() {
    material m = mat;
    m.same_texture = same_texture_in_all_slots();
    check_material(m);
}

void model::check_material(const material& m) {
    auto it = sMaterials.find(m);
    if (it == sMaterials.end()) {
        it = sMaterials.emplace(m, make_program(m)).first;
    }
    if (mat == m && prog != nullptr) {
        return;
    }
    mat = m;
    use_program(it->second);
}

void model::use_program(program* p) {
    prog = p;
    const auto it = sLocations.find(p);
    prog_locations = it != sLocations.end() ? &it->second : nullptr;
}

// ---- programs ----------------------------------------------------------------------------

namespace {

program* make_fixed_outline_program(const std::string& fragment) {
    return program::build("outlineprogram", {"outlinevert", material_source::outline_vertex},
                          {"outlinefrag", fragment}, {"position", "normal"});
}

} // namespace

program* model::make_program(const material& m) {
    const std::string key = m.key();
    const material_source::settings settings = material_source::current_settings();
    // A generated text's failure is printed without the line breaks of the fixed ones.
    program* p = program::build(key, {key + "vert", material_source::vertex(m, settings), ""},
                                {key + "frag", material_source::fragment(m, settings), ""},
                                {"position", "normal", "texcoords", "texunit"});
    register_locations(p, m, m.shadowed && settings.shadows);

    make_shadow_program();
    make_outline_program();
    return p;
}

void model::register_locations(program* p, const material& m, bool shadow) {
    // Asked once per program, so drawing sets uniforms without looking names up. Only
    // the names the material declares are asked, which keeps the program's log quiet.
    static const char* const samplers[6] = {"texture0", "texture1", "texture2",
                                            "texture3", "texture4", "texture5"};
    locations loc;
    loc.mvp.location = p->make_uniform("mvp");
    loc.colour.location = p->make_uniform("colour");
    if (m.lit) {
        loc.normal_matrix.location = p->make_uniform("normal_matrix");
        loc.light_dir.location = p->make_uniform("light_dir");
        loc.light_colour.location = p->make_uniform("light_colour");
    }
    if (shadow) {
        loc.depth_mvp.location = p->make_uniform("depth_mvp");
        loc.shadow_map.location = p->make_uniform("shadow_map");
    }
    if (m.textured) {
        for (size_t k = 0; k < 6; ++k) {
            if (m.has_texture[k]) {
                loc.textures[k].location = p->make_uniform(samplers[k]);
            }
        }
        if (m.bump_mapped) {
            loc.bump_map.location = p->make_uniform("bump_map");
        }
    }
    sLocations[p] = loc;
}

void model::forget_program(program* p) {
    sLocations.erase(p);
    delete p;
}

void model::make_shadow_program() {
    if (sShadowProgram != nullptr) {
        return;
    }
    program* p = program::build("shadowprogram", {"shadowvert", material_source::shadow_vertex},
                                {"shadowfrag", material_source::shadow_fragment}, {"position"});
    sShadowProgram = p;
    sShadowDepthMvp = {p->make_uniform("depth_mvp")};
}

void model::make_outline_program() {
    if (sOutlineProgram != nullptr) {
        return;
    }
    sOutlineProgram = make_fixed_outline_program(
        material_source::outline_fragment(scene::get_global_outline_colour()));
    sOutlineMvp = {sOutlineProgram->make_uniform("mvp")};

    // Its own copy of "outlinevert", so that each program owns what it holds and the
    // fixed-colour one can be rebuilt alone.
    program* p = program::build(
        "outlinecolourprogram", {"outlinevert", material_source::outline_vertex},
        {"outlinefrag2", material_source::outline_colour_fragment}, {"position", "normal"});
    sOutlineColourProgram = p;
    sOutlineColourMvp = {p->make_uniform("mvp")};
    sOutlineColourColour = {p->make_uniform("outline_colour")};
}

void model::remake_outline_program() {
    if (sOutlineProgram == nullptr) {
        return;
    }
    delete sOutlineProgram;
    sOutlineProgram = make_fixed_outline_program(
        material_source::outline_fragment(scene::get_global_outline_colour()));
    sOutlineMvp = {sOutlineProgram->make_uniform("mvp")};
}

void model::remake_programs() {
    for (auto& [m, p] : sMaterials) {
        if (p != nullptr) {
            forget_program(p);
        }
        p = make_program(m);
    }
    for (model* each : sModels) {
        each->use_program(sMaterials[each->mat]);
    }
}

void model::destroy_programs() {
    for (auto& [m, p] : sMaterials) {
        delete p;
    }
    sMaterials.clear();
    sLocations.clear();
    for (program** fixed : {&sShadowProgram, &sOutlineProgram, &sOutlineColourProgram}) {
        delete *fixed;
        *fixed = nullptr;
    }
    // A model that outlives the context (none does in an orderly shutdown) must not keep
    // pointing at a freed program.
    for (model* each : sModels) {
        each->prog = nullptr;
        each->prog_locations = nullptr;
    }
}

void model::set_global_material_ambient(float f) {
    sGlobalMaterials.ambient = f;
    remake_programs();
}

void model::set_global_material_diffuse(float f) {
    sGlobalMaterials.diffuse = f;
    remake_programs();
}

} // namespace tulk::graphics

#include "engine/graphics/model.h"

#include "engine/graphics/draw_state.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/light.h"
#include "engine/graphics/material_source.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/shader.h"
#include "engine/graphics/texture.h"
#include "engine/intersections/intersections.h"

#include <algorithm>
#include <cstring>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace tulk::graphics {

std::vector<model*> model::sModels;
std::map<model::material, program*> model::sMaterials;
model::global_materials model::sGlobalMaterials;
program* model::sShadowProgram = nullptr;
program* model::sOutlineProgram = nullptr;
program* model::sOutlineColourProgram = nullptr;
const glm::mat4 model::sShadowBiasMatrix(0.5f, 0.0f, 0.0f, 0.0f, //
                                         0.0f, 0.5f, 0.0f, 0.0f, //
                                         0.0f, 0.0f, 0.5f, 0.0f, //
                                         0.5f, 0.5f, 0.5f, 1.0f);
std::map<const program*, model::locations> model::sLocations;
model::uniform<glm::mat4> model::sShadowDepthMvp;
model::uniform<glm::mat4> model::sOutlineMvp;
model::uniform<glm::mat4> model::sOutlineColourMvp;
model::uniform<glm::vec3> model::sOutlineColourColour;
model::draw_observer model::sDrawObserver = nullptr;

namespace {

template <typename T>
void erase_first(std::vector<T*>& list, const T* item) {
    const auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) {
        list.erase(it);
    }
}

bool sphere_in(const intersections::volume& volume, const model* m) {
    return intersections::contains_volume_sphere(volume, m->get_world_pos(),
                                                 m->get_sphere_radius());
}

// Whether a value must go to GL: caching off, never sent, or other bytes than last time.
template <typename U, typename T>
bool must_send(U& u, const T& value) {
    if (u.known && draw_state::get_caching() && std::memcmp(&u.value, &value, sizeof value) == 0) {
        return false;
    }
    u.value = value;
    u.known = true;
    return true;
}

template <typename U>
void send(U& u, const glm::mat4& m) {
    if (must_send(u, m)) {
        glUniformMatrix4fv(u.location, 1, GL_FALSE, glm::value_ptr(m));
    }
}

template <typename U>
void send(U& u, const glm::mat3& m) {
    if (must_send(u, m)) {
        glUniformMatrix3fv(u.location, 1, GL_FALSE, glm::value_ptr(m));
    }
}

template <typename U>
void send(U& u, const glm::vec4& v) {
    if (must_send(u, v)) {
        glUniform4f(u.location, v.x, v.y, v.z, v.w);
    }
}

template <typename U>
void send(U& u, const glm::vec3& v) {
    if (must_send(u, v)) {
        glUniform3f(u.location, v.x, v.y, v.z);
    }
}

template <typename U>
void send(U& u, GLint i) {
    if (must_send(u, i)) {
        glUniform1i(u.location, i);
    }
}

} // namespace

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

// ---- construction ------------------------------------------------------------------------

model::model()
    : outline_colour(scene::get_global_outline_colour()), sphere_radius(glm::length(size) / 2.0f) {
    update_model_matrix();
    set_texture(nullptr);
    set_material_textured(false);
    bump_map = nullptr;
    set_material_bump_mapped(false);
    set_outline_colour(outline_colour);
    sModels.push_back(this);
}

model::~model() {
    erase_first(sModels, this);
    // Unlink each child first, so that its destructor does not edit the list being walked.
    for (model* child : children) {
        child->parent = nullptr;
        delete child;
    }
    children.clear();
    while (!scenes.empty()) {
        scenes.front()->remove_model(this);
    }
    // A child destroyed directly must not stay listed under its parent.
    if (parent != nullptr) {
        erase_first(parent->children, this);
    }
}

// ---- transform ---------------------------------------------------------------------------

void model::set_pos(const glm::vec3& v) {
    pos = v;
    update_model_matrix();
}

void model::set_rot(const glm::quat& q) {
    rot = q;
    update_model_matrix();
}

void model::set_size(const glm::vec3& v) {
    size = v;
    sphere_radius = glm::length(size) / 2.0f;
    update_model_matrix();
}

void model::rotate(float angle, const glm::vec3& axis) {
    rot = glm::rotate(rot, glm::radians(angle), axis);
    update_model_matrix();
}

void model::update_model_matrix() {
    glm::mat4 m = parent != nullptr ? parent->model_matrix : glm::mat4(1.0f);
    m = glm::translate(m, pos);
    m = m * glm::mat4_cast(rot);
    m = glm::translate(m, origin);
    model_matrix = m;
    world_pos = glm::vec3(m[3]);
    for (model* child : children) {
        child->update_model_matrix();
    }
}

void model::set_drawn_transform(const glm::vec3& p, const glm::quat& q) {
    // The one computation of the matrices, from the drawn values; the model's own kept.
    const glm::vec3 own_pos = pos;
    const glm::quat own_rot = rot;
    pos = p;
    rot = q;
    update_model_matrix();
    pos = own_pos;
    rot = own_rot;
}

// ---- appearance --------------------------------------------------------------------------

void model::set_outline_colour(const glm::vec3& c) {
    outline_colour = c;
    const glm::vec3& global = scene::get_global_outline_colour();
    uses_global_outline_colour = c.r == global.r && c.g == global.g && c.b == global.b;
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

// ---- hierarchy ---------------------------------------------------------------------------

void model::add_child(model* child) {
    children.push_back(child);
    child->parent = this;
    update_model_matrix();
}

void model::detach_child(model* child) {
    if (child == nullptr) {
        return;
    }
    const auto it = std::find(children.begin(), children.end(), child);
    if (it == children.end()) {
        return;
    }
    children.erase(it);
    child->parent = nullptr;
    child->update_model_matrix();
}

void model::delete_child(model* child) {
    if (child == nullptr) {
        return;
    }
    // The destructor takes it out of this list (or of whichever list it is in).
    delete child;
}

model* model::get_child(size_t index) const {
    return index < children.size() ? children[index] : nullptr;
}

// ---- scenes ------------------------------------------------------------------------------

void model::add_scene(scene* s) {
    scenes.push_back(s);
}

void model::remove_scene(scene* s) {
    erase_first(scenes, s);
}

// ---- passes ------------------------------------------------------------------------------

void model::draw(const glm::mat4& view_projection, const intersections::volume& volume, light* l,
                 texture* shadow_texture) {
    if (!visible) {
        return;
    }
    const bool lit = mat.lit && l != nullptr;
    const bool shadowed = mat.shadowed && scene::get_global_shadows();

    if (transparent) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    if (depth_test) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }

    prog->use();
    locations& loc = *prog_locations;
    const glm::mat4 mvp = view_projection * model_matrix * glm::scale(glm::mat4(1.0f), size);
    send(loc.mvp, mvp);
    if (lit) {
        send(loc.normal_matrix, glm::mat3(model_matrix));
    }
    send(loc.colour, colour);
    if (shadowed) {
        send(loc.depth_mvp, sShadowBiasMatrix * depth_mvp);
    }
    if (lit) {
        send(loc.light_dir, l->get_direction());
        send(loc.light_colour, l->get_colour());
    }
    if (mat.textured) {
        for (unsigned int k = 0; k < 6; ++k) {
            if (textures[k] != nullptr) {
                textures[k]->bind(k);
                send(loc.textures[k], static_cast<GLint>(k));
            }
        }
        if (mat.bump_mapped && bump_map != nullptr && lit) {
            bump_map->bind(6);
            send(loc.bump_map, 6);
        }
        if (shadowed && shadow_texture != nullptr) {
            shadow_texture->bind(7);
            send(loc.shadow_map, 7);
        }
    }
    if (sDrawObserver != nullptr) {
        sDrawObserver(*this, pass::main, mvp);
    }
    geom->draw();

    for (model* child : children) {
        if (sphere_in(volume, child)) {
            child->draw(view_projection, volume, l, shadow_texture);
        }
    }
}

void model::draw_shadow(const glm::mat4& light_view_projection,
                        const intersections::volume& volume) {
    if (!casts_shadow || !visible) {
        return;
    }
    sShadowProgram->use();
    depth_mvp = light_view_projection * model_matrix * glm::scale(glm::mat4(1.0f), size);
    send(sShadowDepthMvp, depth_mvp);
    if (sDrawObserver != nullptr) {
        sDrawObserver(*this, pass::shadow, depth_mvp);
    }
    geom->draw();

    for (model* child : children) {
        if (sphere_in(volume, child)) {
            child->draw_shadow(light_view_projection, volume);
        }
    }
}

void model::draw_outline(const glm::mat4& view_projection, const intersections::volume& volume) {
    if (!outlined || !visible) {
        return;
    }
    if (depth_test) {
        glEnable(GL_DEPTH_TEST);
    }
    const float thickness = static_cast<float>(scene::get_global_outline_thickness()) * 0.01f;
    const glm::vec3 grown = size + glm::normalize(size) * thickness;
    const glm::mat4 mvp = view_projection * model_matrix * glm::scale(glm::mat4(1.0f), grown);
    if (uses_global_outline_colour) {
        sOutlineProgram->use();
        send(sOutlineMvp, mvp);
    } else {
        sOutlineColourProgram->use();
        send(sOutlineColourMvp, mvp);
        send(sOutlineColourColour, outline_colour);
    }
    if (sDrawObserver != nullptr) {
        sDrawObserver(*this, pass::outline, mvp);
    }
    geom->draw();

    for (model* child : children) {
        if (sphere_in(volume, child)) {
            child->draw_outline(view_projection, volume);
        }
    }
}

} // namespace tulk::graphics

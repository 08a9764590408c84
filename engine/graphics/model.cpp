// The model as a node: lifetime, transform, appearance, children and scene membership.

#include "engine/graphics/model.h"

#include "engine/graphics/scene.h"

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>

namespace tulk::graphics {

std::vector<model*> model::sModels;

namespace {

template <typename T>
void erase_first(std::vector<T*>& list, const T* item) {
    const auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) {
        list.erase(it);
    }
}

} // namespace

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

} // namespace tulk::graphics

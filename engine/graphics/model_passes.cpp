// The model's three draw passes (shadow, outline, main), sending only uniforms that changed.

#include "engine/graphics/model.h"

#include "engine/graphics/draw_state.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/light.h"
#include "engine/graphics/program.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/texture.h"
#include "engine/intersections/intersections.h"

#include <cstring>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace tulk::graphics {

const glm::mat4 model::sShadowBiasMatrix(0.5f, 0.0f, 0.0f, 0.0f, //
                                         0.0f, 0.5f, 0.0f, 0.0f, //
                                         0.0f, 0.0f, 0.5f, 0.0f, //
                                         0.5f, 0.5f, 0.5f, 1.0f);
model::draw_observer model::sDrawObserver = nullptr;

namespace {

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

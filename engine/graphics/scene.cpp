#include "engine/graphics/scene.h"

#include "engine/graphics/camera.h"
#include "engine/graphics/draw_state.h"
#include "engine/graphics/framebuffer.h"
#include "engine/graphics/model.h"
#include "engine/graphics/texture.h"
#include "engine/intersections/intersections.h"

#include <GLES2/gl2.h>
#include <algorithm>
#include <glm/glm.hpp>

namespace tulk::graphics {

framebuffer* scene::sShadowFramebuffer = nullptr;
texture* scene::sShadowTexture = nullptr;
unsigned int scene::sSceneCount = 0;
scene::global_settings scene::sGlobalSettings;

scene::scene() {
    ++sSceneCount;
}

scene::~scene() {
    while (!models.empty()) {
        remove_model(models.front());
    }
    --sSceneCount;
    if (sSceneCount == 0) {
        free_shadow_stuff();
    }
}

void scene::add_model(model* m) {
    if (m == nullptr) {
        return;
    }
    models.push_back(m);
    m->add_scene(this);
    // Room for every model in the per-frame lists too, taken now rather than in the frame
    // that first sees that many; growing with the list's capacity keeps it to a few times.
    if (visible.capacity() < models.capacity()) {
        visible.reserve(models.capacity());
        outline_order.reserve(models.capacity());
    }
}

void scene::remove_model(model* m) {
    if (m == nullptr) {
        return;
    }
    const auto it = std::find(models.begin(), models.end(), m);
    if (it != models.end()) {
        m->remove_scene(this);
        models.erase(it);
    }
}

model* scene::get_model(size_t index) const {
    return index < models.size() ? models[index] : nullptr;
}

void scene::draw() {
    const draw_state::batch batch;
    if (sGlobalSettings.shadows) {
        make_shadow_stuff();
    }
    if (sGlobalSettings.shadows && shadow_cam != nullptr) {
        sShadowFramebuffer->bind();
        // The depth map needs depth testing and no blending, whatever the last model left.
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glCullFace(GL_FRONT);
        glClear(GL_DEPTH_BUFFER_BIT);
        const glm::mat4 light_vp = shadow_cam->get_view_projection_matrix();
        const intersections::volume& light_volume = shadow_cam->get_frustum();
        for (model* m : models) {
            if (intersections::contains_volume_sphere(light_volume, m->get_world_pos(),
                                                      m->get_sphere_radius())) {
                m->draw_shadow(light_vp, light_volume);
            }
        }
    }
    if (cam == nullptr) {
        return;
    }

    const glm::mat4 vp = cam->get_view_projection_matrix();
    const intersections::volume& frustum = cam->get_frustum();
    const glm::vec3& eye = cam->get_eye();
    visible.clear();
    for (model* m : models) {
        if (intersections::contains_volume_sphere(frustum, m->get_world_pos(),
                                                  m->get_sphere_radius()) &&
            !intersections::contains_box_point(m->get_pos(), m->get_size(), eye)) {
            visible.push_back(m);
        }
    }

    framebuffer::bind_default();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (sGlobalSettings.outlines) {
        glCullFace(GL_FRONT);
        order_outlines(eye);
        for (const auto& [depth, m] : outline_order) {
            m->draw_outline(vp, frustum);
        }
    }
    glCullFace(GL_BACK);
    for (model* m : visible) {
        m->draw(vp, frustum, scene_light, sShadowTexture);
    }
}

void scene::order_outlines(const glm::vec3& eye) {
    outline_order.clear();
    const bool reorder = draw_state::get_caching();
    for (model* m : visible) {
        // A model without an outline draws nothing in this pass, so it needs no place.
        if (!reorder || m->get_outlined()) {
            outline_order.emplace_back(0.0f, m);
        }
    }
    if (!reorder) {
        return;
    }
    // Outlines of depth-tested, childless models in the global colour all write the same
    // colour, so the nearest fragment wins whatever their order; drawn nearest first, the
    // ones behind fail the depth test early instead of being written over. A piled snake
    // would otherwise overwrite its outline once per block. Any other outlined model keeps
    // its place and bounds the runs sorted around it.
    const auto sortable = [](const model* m) {
        return m->get_depth_test() && m->get_uses_global_outline_colour() &&
               m->get_child_count() == 0;
    };
    auto run = outline_order.begin();
    for (auto it = outline_order.begin();; ++it) {
        const bool end = it == outline_order.end();
        if (end || !sortable(it->second)) {
            // std::sort, not stable_sort: stable_sort takes a buffer from the heap every
            // frame, and equal distances need no order since their outlines are alike.
            std::sort(run, it, [](const auto& a, const auto& b) { return a.first < b.first; });
            if (end) {
                break;
            }
            run = it + 1;
            continue;
        }
        // The depth of the back faces: the centre's distance plus the bounding radius.
        it->first =
            glm::length(it->second->get_world_pos() - eye) + it->second->get_sphere_radius();
    }
}

void scene::set_global_shadows(bool b) {
    sGlobalSettings.shadows = b;
    if (!b) {
        free_shadow_stuff();
    }
    model::remake_programs();
}

void scene::set_global_pcf(int pcf) {
    sGlobalSettings.pcf = pcf;
    model::remake_programs();
}

void scene::set_global_shadow_map_dimensions(const glm::ivec2& wanted) {
    // Beyond the GPU's limits the framebuffer would fail and end the game; a map at the
    // limit only makes coarser shadows.
    GLint texture_side = 0;
    GLint renderbuffer_side = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture_side);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer_side);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const glm::ivec2 most(std::min({texture_side, renderbuffer_side, viewport[0]}),
                          std::min({texture_side, renderbuffer_side, viewport[1]}));
    const bool known = most.x > 0 && most.y > 0;
    const glm::ivec2 d = glm::max(known ? glm::min(wanted, most) : wanted, glm::ivec2(1));
    sGlobalSettings.shadow_map_dimensions = d;
    sGlobalSettings.inverse_shadow_map_dimensions =
        glm::vec2(1.0f / static_cast<float>(d.x), 1.0f / static_cast<float>(d.y));
    // Only a filtered shadow's text holds the texel size.
    if (sGlobalSettings.shadows) {
        make_shadow_stuff();
        model::remake_programs();
    }
}

void scene::set_global_outline_colour(const glm::vec3& c) {
    sGlobalSettings.outline_colour = c;
    model::remake_programs();
    // The fixed-colour outline program carries the colour in its text.
    model::remake_outline_program();
    for (model* m : model::sModels) {
        m->set_outline_colour(m->get_outline_colour());
    }
}

void scene::make_shadow_stuff() {
    const auto width = static_cast<unsigned int>(sGlobalSettings.shadow_map_dimensions.x);
    const auto height = static_cast<unsigned int>(sGlobalSettings.shadow_map_dimensions.y);
    if (sShadowFramebuffer != nullptr && sShadowFramebuffer->get_width() == width &&
        sShadowFramebuffer->get_height() == height) {
        return;
    }
    free_shadow_stuff();
    sShadowFramebuffer = new framebuffer("", width, height);
    sShadowTexture = new texture("", texture::depth);
    sShadowTexture->set_data(width, height, nullptr);
    sShadowTexture->set_nearest_clamped();
    sShadowFramebuffer->attach_texture(sShadowTexture);
}

void scene::free_shadow_stuff() {
    delete sShadowFramebuffer;
    delete sShadowTexture;
    sShadowFramebuffer = nullptr;
    sShadowTexture = nullptr;
}

} // namespace tulk::graphics

#pragma once

#include <glm/glm.hpp>
#include <utility>
#include <vector>

namespace tulk::graphics {

class camera;
class framebuffer;
class light;
class model;
class texture;

// An ordered list of top-level models seen through a camera, lit by one light and
// shadowed from a shadow camera. Also holds the renderer's global settings and the one
// shadow map that every scene shares, which has storage only while shadows are on.
// Lists models without owning them.
class scene {
public:
    struct global_settings {
        // Below 2 one shadow tap; from 2 up pcf x pcf taps.
        int pcf = 0;
        bool shadows = true;
        glm::ivec2 shadow_map_dimensions{100, 100};
        glm::vec2 inverse_shadow_map_dimensions{0.01f, 0.01f};
        bool outlines = false;
        glm::vec3 outline_colour{0.0f};
        // Hundredths of a unit.
        int outline_thickness = 10;
    };

    scene();
    virtual ~scene();

    scene(const scene&) = delete;
    scene& operator=(const scene&) = delete;

    // Appends without a duplicate check; a model listed twice is drawn twice.
    void add_model(model* m);
    void remove_model(model* m);
    model* get_model(size_t index) const;
    size_t get_model_count() const { return models.size(); }

    void set_camera(camera* c) { cam = c; }
    camera* get_camera() const { return cam; }
    void set_shadow_camera(camera* c) { shadow_cam = c; }
    camera* get_shadow_camera() const { return shadow_cam; }
    void set_light(light* l) { scene_light = l; }
    light* get_light() const { return scene_light; }

    // One frame: shadow pass, then (with a camera) the outline and main passes.
    void draw();

    static int get_global_pcf() { return sGlobalSettings.pcf; }
    static bool get_global_shadows() { return sGlobalSettings.shadows; }
    static bool get_global_outlines() { return sGlobalSettings.outlines; }
    static int get_global_outline_thickness() { return sGlobalSettings.outline_thickness; }
    static const glm::vec3& get_global_outline_colour() { return sGlobalSettings.outline_colour; }
    static const glm::vec2& get_global_inverse_shadow_map_dimensions() {
        return sGlobalSettings.inverse_shadow_map_dimensions;
    }

    // These regenerate every program, since their values are baked into the text.
    // Shadows switched off also free the shadow map.
    static void set_global_shadows(bool b);
    static void set_global_pcf(int pcf);
    // Clamped to the largest framebuffer the GPU allows. With shadows off only the size is
    // kept, so calling it on every change of the window's size costs nothing.
    static void set_global_shadow_map_dimensions(const glm::ivec2& wanted);
    static void set_global_outline_colour(const glm::vec3& c);

    static void set_global_outlines(bool b) { sGlobalSettings.outlines = b; }
    static void set_global_outline_thickness(int t) { sGlobalSettings.outline_thickness = t; }

    // The shared shadow framebuffer and its depth texture at the size set, made when
    // missing or of another size; and their release.
    static void make_shadow_stuff();
    static void free_shadow_stuff();

    static framebuffer* sShadowFramebuffer;
    static texture* sShadowTexture;
    static unsigned int sSceneCount;
    static global_settings sGlobalSettings;

private:
    std::vector<model*> models;
    camera* cam = nullptr;
    camera* shadow_cam = nullptr;
    light* scene_light = nullptr;
    // Puts the visible models in outline_order, nearest back faces first where that cannot
    // change the picture.
    void order_outlines(const glm::vec3& eye);

    // The models that pass culling this frame; kept to reuse its storage.
    std::vector<model*> visible;
    std::vector<std::pair<float, model*>> outline_order;
};

} // namespace tulk::graphics

#include "bench/draw_list.h"

#include "engine/graphics/geometry.h"
#include "engine/graphics/scene.h"

using tulk::graphics::geometry;
using tulk::graphics::model;
using tulk::graphics::scene;

draw_list* draw_list::sRecording = nullptr;

draw_list::draw_list(size_t capacity) {
    entries.reserve(capacity);
}

draw_list::~draw_list() {
    stop();
}

void draw_list::start() {
    cube = geometry::find("cube");
    square = geometry::find("square");
    entries.clear();
    skipped = 0;
    sRecording = this;
    model::set_draw_observer(observe);
}

void draw_list::stop() {
    if (sRecording == this) {
        model::set_draw_observer(nullptr);
        sRecording = nullptr;
    }
}

void draw_list::observe(const model& m, model::pass p, const glm::mat4& mvp) {
    if (sRecording != nullptr) {
        sRecording->add(m, p, mvp);
    }
}

void draw_list::add(const model& m, model::pass p, const glm::mat4& mvp) {
    const geometry* g = m.get_geometry();
    if (p == model::pass::shadow || (g != cube && g != square)) {
        ++skipped;
        return;
    }
    entry e;
    e.mvp = mvp;
    e.what = g == cube ? shape::cube : shape::square;
    e.cull_front = p == model::pass::outline;
    if (p == model::pass::outline) {
        const glm::vec3& c = m.get_uses_global_outline_colour() ? scene::get_global_outline_colour()
                                                                : m.get_outline_colour();
        e.colour = glm::vec4(c, 1.0f);
        depth_on = depth_on || m.get_depth_test();
    } else {
        e.colour = m.get_colour();
        depth_on = m.get_depth_test();
        blend_on = m.get_transparent();
    }
    e.depth_test = depth_on;
    e.blend = blend_on;
    entries.push_back(e);
}

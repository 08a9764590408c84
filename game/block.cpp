#include "game/block.h"

#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"

block::block(const glm::vec3& pos, const glm::vec3& size, tulk::graphics::model* model)
    : pos(pos), size(size), model(model) {}

block::~block() {
    delete model;
}

void block::set_pos(const glm::vec3& p) {
    pos = p;
    model->set_pos(p);
}

void block::set_size(const glm::vec3& s) {
    size = s;
    model->set_size(s);
}

block* block::make_cube(const glm::vec3& pos, const glm::vec3& size, const glm::vec3& colour,
                        bool outlined, std::initializer_list<tulk::graphics::scene*> scenes) {
    auto* m = new tulk::graphics::model();
    m->set_geometry(tulk::graphics::geometry::find("cube"));
    m->set_pos(pos);
    m->set_size(size);
    m->set_colour(colour);
    m->set_outlined(outlined);
    m->set_casts_shadow(true);
    m->set_material_lit(true);
    m->set_material_shadowed(true);
    for (tulk::graphics::scene* each : scenes) {
        each->add_model(m);
    }
    return new block(pos, size, m);
}

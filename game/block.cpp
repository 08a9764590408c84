#include "game/block.h"

#include "engine/graphics/model.h"

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

#pragma once

#include <glm/glm.hpp>

namespace tulk::graphics {
class model;
}

// One axis-aligned box of the game world (snake segment, wall bar or pickup) and the
// model that draws it. The box never turns with the model's rotation.
class block {
public:
    // Stores the three values only; the caller places and sizes the model.
    block(const glm::vec3& pos, const glm::vec3& size, tulk::graphics::model* model);
    // Destroys the model, which takes itself out of every scene that lists it.
    ~block();

    block(const block&) = delete;
    block& operator=(const block&) = delete;

    // Move or resize the box and its model together.
    void set_pos(const glm::vec3& p);
    void set_size(const glm::vec3& s);

    glm::vec3 pos;  // centre, world units
    glm::vec3 size; // full edge lengths, also the model's drawn size
    tulk::graphics::model* model;
};

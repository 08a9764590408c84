#pragma once

#include <glm/glm.hpp>
#include <initializer_list>

namespace tulk::graphics {
class model;
class scene;
} // namespace tulk::graphics

// One axis-aligned box of the game world (snake segment, wall bar or pickup) and the
// model that draws it. The box never turns with the model's rotation.
class block {
public:
    // Stores the three values only; the caller places and sizes the model.
    block(const glm::vec3& pos, const glm::vec3& size, tulk::graphics::model* model);
    // Destroys the model, which takes itself out of every scene that lists it.
    ~block();

    // The snake's and the pickups' colour.
    static constexpr glm::vec3 green{0.0f, 0.8f, 0.0f};

    // The game's one kind of block: a lit, shadowed, shadow-casting cube at `pos` with
    // edges `size`, in `colour` and outlined or not, added to each of `scenes`.
    static block* make_cube(const glm::vec3& pos, const glm::vec3& size, const glm::vec3& colour,
                            bool outlined, std::initializer_list<tulk::graphics::scene*> scenes);

    block(const block&) = delete;
    block& operator=(const block&) = delete;

    // Move or resize the box and its model together.
    void set_pos(const glm::vec3& p);
    void set_size(const glm::vec3& s);

    glm::vec3 pos;  // centre, world units
    glm::vec3 size; // full edge lengths, also the model's drawn size
    tulk::graphics::model* model;
};

#pragma once

#include <glm/glm.hpp>
#include <vector>

class block;
class snake;

namespace tulk::graphics {
class scene;
}

// The play field: wall bars that kill on touch, spinning pickups that the snake eats,
// the pickup box derived from the walls and the kill box around it.
class level {
public:
    // How far inside the outermost wall centres the pickup box lies, and how far
    // beyond the pickup box the kill box reaches.
    static constexpr float bounds_inset = 2.0f;
    static constexpr float kill_margin = 8.0f;

    level() = default;
    ~level();

    level(const level&) = delete;
    level& operator=(const level&) = delete;

    // Takes ownership of a placed wall block and recomputes the bounds from all walls.
    void add_block(block* b);
    // Takes ownership of a pickup and places it at random in the pickup box.
    void add_pickup(block* b);

    // Spins every pickup.
    void update();

    // The collision tests of one world update, in order: pickups, the field's edge, a
    // replacement for an eaten pickup (added to `scene`), the walls.
    void check_intersections(snake& s, tulk::graphics::scene& scene);

    // Replaces the whole field: the cage of wall bars in both scenes, three pickups in
    // the play scene only.
    void reset(tulk::graphics::scene& play, tulk::graphics::scene& title);

    const std::vector<block*>& get_blocks() const { return blocks; }
    const std::vector<block*>& get_pickups() const { return pickups; }
    const glm::vec3& get_bounds_min() const { return bounds_min; }
    const glm::vec3& get_bounds_max() const { return bounds_max; }

private:
    static block* make_pickup(tulk::graphics::scene& scene);
    void destroy_all();

    std::vector<block*> blocks;
    std::vector<block*> pickups;
    glm::vec3 bounds_min{0.0f};
    glm::vec3 bounds_max{0.0f};
};

#include "game/level.h"

#include "engine/audio/audio.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "engine/intersections/intersections.h"
#include "engine/util/util.h"
#include "game/block.h"
#include "game/data_files.h"
#include "game/snake.h"

#include <array>
#include <string>

namespace {

const std::string pickup_sound = data_files::pickup_sound;
constexpr int eaten_outline_thickness = 60;
constexpr float pickup_spin = 5.0f; // degrees per update about the model's own diagonal
constexpr int pickup_count = 3;

// One row of five wall bars: the axis whose coordinate runs through five values, the
// first of them (the others follow 15 units apart towards the opposite face), the two
// fixed coordinates and the bar's size.
struct bar_row {
    glm::vec3 fixed;
    int axis;
    float first;
    glm::vec3 size;
};

constexpr float half = 30.0f;
constexpr float spacing = 15.0f;
constexpr int bars_per_row = 5;
const glm::vec3 along_x(60.0f, 1.0f, 1.0f);
const glm::vec3 along_y(1.0f, 60.0f, 1.0f);
const glm::vec3 along_z(1.0f, 1.0f, 60.0f);

// Faces x = -30, x = 30, y = -30, y = 30, z = -30, z = 30, two rows each. The bars on
// the cube's edges belong to two faces and are listed with both.
const std::array<bar_row, 12> cage = {{
    {{-half, 0, 0}, 2, half, along_y},
    {{-half, 0, 0}, 1, -half, along_z},
    {{half, 0, 0}, 2, half, along_y},
    {{half, 0, 0}, 1, -half, along_z},
    {{0, -half, 0}, 2, half, along_x},
    {{0, -half, 0}, 0, -half, along_z},
    {{0, half, 0}, 2, half, along_x},
    {{0, half, 0}, 0, -half, along_z},
    {{0, 0, -half}, 1, -half, along_x},
    {{0, 0, -half}, 0, -half, along_y},
    {{0, 0, half}, 1, -half, along_x},
    {{0, 0, half}, 0, -half, along_y},
}};

// A random coordinate on the 0.01 grid from lo up to but not including hi; a range
// that is empty or reversed (walls packed close on that axis) gives its lower end.
float random_coordinate(float lo, float hi) {
    const int low = static_cast<int>(lo * 100.0f);
    const int high = static_cast<int>(hi * 100.0f);
    const int v = high > low ? tulk::util::rrand(low, high) : low;
    return static_cast<float>(v) / 100.0f;
}

} // namespace

level::~level() {
    destroy_all();
}

void level::destroy_all() {
    for (block* b : blocks) {
        delete b;
    }
    blocks.clear();
    for (block* p : pickups) {
        delete p;
    }
    pickups.clear();
}

void level::add_block(block* b) {
    blocks.push_back(b);
    bounds_min = glm::vec3(10000.0f);
    bounds_max = glm::vec3(-10000.0f);
    for (const block* wall : blocks) {
        bounds_min = glm::min(bounds_min, wall->pos);
        bounds_max = glm::max(bounds_max, wall->pos);
    }
    bounds_min += bounds_inset;
    bounds_max -= bounds_inset;
}

void level::add_pickup(block* b) {
    pickups.push_back(b);
    // x, y and z are drawn in that order.
    const float x = random_coordinate(bounds_min.x, bounds_max.x);
    const float y = random_coordinate(bounds_min.y, bounds_max.y);
    const float z = random_coordinate(bounds_min.z, bounds_max.z);
    b->set_pos(glm::vec3(x, y, z));
}

void level::update() {
    // Only the model turns; the collision box stays axis-aligned.
    for (block* p : pickups) {
        p->model->rotate(pickup_spin, glm::vec3(1.0f, 1.0f, 1.0f));
    }
}

block* level::make_pickup(tulk::graphics::scene& scene) {
    return block::make_cube(glm::vec3(0.0f), glm::vec3(2.0f), block::green, true, {&scene});
}

void level::check_intersections(snake& s, tulk::graphics::scene& scene) {
    // Pickups, eaten dead or alive, at most one per call: the earliest added first.
    bool eaten = false;
    for (auto it = pickups.begin(); it != pickups.end(); ++it) {
        const block* head = s.get_head();
        block* p = *it;
        if (tulk::intersections::contains_box_box(head->pos, head->size, p->pos, p->size)) {
            s.add_to_end(p);
            tulk::graphics::scene::set_global_outline_thickness(eaten_outline_thickness);
            pickups.erase(it);
            tulk::audio::play_sound(pickup_sound, 100);
            eaten = true;
            break;
        }
    }

    // The field's edge: only the head's centre counts, and the kill box is open.
    if (!s.get_dead()) {
        const glm::vec3& c = s.get_head()->pos;
        const glm::vec3 lo = bounds_min - kill_margin;
        const glm::vec3 hi = bounds_max + kill_margin;
        for (int axis = 0; axis < 3; ++axis) {
            if (c[axis] <= lo[axis] || c[axis] >= hi[axis]) {
                s.set_dead();
                break;
            }
        }
    }

    if (eaten) {
        add_pickup(make_pickup(scene));
    }

    for (const block* wall : blocks) {
        if (s.get_dead()) {
            break;
        }
        const block* head = s.get_head();
        if (tulk::intersections::contains_box_box(head->pos, head->size, wall->pos, wall->size)) {
            s.set_dead();
            break;
        }
    }
}

void level::reset(tulk::graphics::scene& play, tulk::graphics::scene& title) {
    // Each model leaves its scenes by itself. The bounds stay until the first add_block
    // recomputes them.
    destroy_all();

    for (const bar_row& row : cage) {
        const float step = row.first > 0.0f ? -spacing : spacing;
        for (int k = 0; k < bars_per_row; ++k) {
            glm::vec3 centre = row.fixed;
            centre[row.axis] = row.first + static_cast<float>(k) * step;

            add_block(block::make_cube(centre, row.size, glm::vec3(1.0f), false, {&play, &title}));
        }
    }

    for (int i = 0; i < pickup_count; ++i) {
        add_pickup(make_pickup(play));
    }
}

#include "game/snake.h"

#include "engine/audio/audio.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "engine/intersections/intersections.h"
#include "engine/util/util.h"
#include "game/block.h"
#include "game/data_files.h"
#include "game/game_clock.h"

#include <cmath>
#include <string>

namespace {

constexpr float shiver_step = 0.1f;    // units per update while dead
constexpr int first_tested_block = 10; // blocks nearer the head can never be reached
const std::string death_sound = data_files::death_sound;

// Right-handed turn of v by `degrees` about the unit axis k (Rodrigues' formula); it
// matches model::rotate about the corresponding own axis.
glm::vec3 rotate_about(const glm::vec3& v, const glm::vec3& k, float degrees) {
    float s = 0.0f;
    float c = 1.0f;
    tulk::util::sin_cos_degrees(degrees, s, c);
    return v * c + glm::cross(k, v) * s + k * (glm::dot(k, v) * (1.0f - c));
}

// A held key builds the rate up, the opposite key brakes it, no key lets it halve.
float next_rate(float rate, int input, float limit) {
    if (input != 0) {
        rate = static_cast<float>(input) * snake::turn_step + rate;
    } else {
        rate = rate * 0.5f;
    }
    if (rate < -limit) {
        rate = -limit;
    }
    if (limit < rate) {
        rate = limit;
    }
    return rate;
}

} // namespace

snake::snake(tulk::graphics::scene& scene) {
    blocks.reserve(64);
    reset(scene);
}

snake::~snake() {
    destroy_blocks();
}

void snake::destroy_blocks() {
    for (block* b : blocks) {
        delete b;
    }
    blocks.clear();
}

void snake::reset(tulk::graphics::scene& scene) {
    direction = glm::vec3(0.0f, 0.0f, -1.0f);
    speed = 0.4f;
    right = glm::vec3(1.0f, 0.0f, 0.0f);
    up = glm::vec3(0.0f, 1.0f, 0.0f);
    pitch_rate = yaw_rate = roll_rate = 0.0f;
    pitch_input = yaw_input = roll_input = 0;
    double_speed = false;
    dead = false;

    destroy_blocks();
    for (int i = 0; i < start_length; ++i) {
        // add_to_end gives it its place and size.
        add_to_end(
            block::make_cube(glm::vec3(0.0f), glm::vec3(1.0f), block::green, true, {&scene}));
    }
}

void snake::change_pitch(int k) {
    pitch_input = k;
}
void snake::change_yaw(int k) {
    yaw_input = k;
}
void snake::change_roll(int k) {
    roll_input = k;
}
void snake::set_double_speed(bool on) {
    double_speed = on;
}

block* snake::get_head() const {
    return blocks.empty() ? nullptr : blocks.front();
}

void snake::update() {
    if (blocks.empty()) {
        return;
    }
    if (dead) {
        shiver();
    } else {
        fly();
    }
}

void snake::fly() {
    // Tail first, so every block takes the place the block ahead had before this update.
    for (std::size_t i = blocks.size() - 1; i >= 1; --i) {
        blocks[i]->set_pos(blocks[i - 1]->pos);
        blocks[i]->model->set_rot(blocks[i - 1]->model->get_rot());
    }

    const float limit = double_speed ? 2.0f * turn_limit : turn_limit;
    pitch_rate = next_rate(pitch_rate, pitch_input, limit);
    roll_rate = next_rate(roll_rate, roll_input, limit);
    yaw_rate = next_rate(yaw_rate, yaw_input, limit);

    // The head model turns about its own axes in step with the direction frame: its -z
    // is the heading, +y up and +x right.
    block* head = blocks.front();
    head->model->rotate(roll_rate, glm::vec3(0.0f, 0.0f, -1.0f));
    up = glm::normalize(rotate_about(up, direction, roll_rate));
    right = glm::cross(direction, up);

    head->model->rotate(pitch_rate, glm::vec3(1.0f, 0.0f, 0.0f));
    up = glm::normalize(rotate_about(up, right, pitch_rate));
    direction = glm::cross(up, right);

    head->model->rotate(yaw_rate, glm::vec3(0.0f, 1.0f, 0.0f));
    direction = glm::normalize(rotate_about(direction, up, yaw_rate));
    right = glm::cross(direction, up);

    const float m = double_speed ? 2.0f : 1.0f;
    head->set_pos(m * (speed * direction) + head->pos);
}

void snake::shiver() {
    for (block* b : blocks) {
        b->set_pos(tulk::util::random_unit_vector() * shiver_step + b->pos);
    }
}

bool snake::get_death_done() const {
    return game_clock::now() - death_time >= death_duration;
}

void snake::set_dead() {
    dead = true;
    death_time = game_clock::now();
    tulk::audio::play_sound(death_sound, 100);
}

void snake::self_intersecting() {
    if (blocks.empty() || dead || blocks.size() <= static_cast<std::size_t>(first_tested_block)) {
        return;
    }
    const block* head = blocks.front();
    for (std::size_t i = first_tested_block; i < blocks.size(); ++i) {
        if (tulk::intersections::contains_box_box(head->pos, head->size, blocks[i]->pos,
                                                  blocks[i]->size)) {
            set_dead();
        }
    }
}

void snake::add_to_end(block* b) {
    if (!blocks.empty()) {
        const block* tail = blocks.back();
        b->set_pos(tail->pos);
        b->model->set_rot(tail->model->get_rot());
    }
    blocks.push_back(b);

    // Taper: the head's edge grows by 0.001 per block and the edges fall linearly to a
    // tail of a n-th of the head's.
    const std::size_t n = blocks.size();
    const float nf = static_cast<float>(n);
    const float a = nf * 0.001f + 1.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const float h = blocks.front()->size.x;
        const float e = a + (static_cast<float>(i) * (-1.0f / nf)) * h;
        blocks[i]->set_size(glm::vec3(e));
    }
}

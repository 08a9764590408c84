#include "game/motion_interpolation.h"

#include "engine/graphics/camera.h"
#include "engine/graphics/model.h"
#include "game/block.h"
#include "game/level.h"
#include "game/snake.h"

#include <algorithm>

namespace {

using tulk::graphics::model;

void poses_of(const std::vector<block*>& blocks, auto& poses) {
    poses.clear();
    for (const block* b : blocks) {
        poses.push_back({b->model, b->model->get_pos(), b->model->get_rot()});
    }
}

// Exact at both ends, so that a picture at an update is that update's.
glm::vec3 blend(const glm::vec3& a, const glm::vec3& b, float alpha) {
    return alpha <= 0.0f ? a : (alpha >= 1.0f ? b : glm::mix(a, b, alpha));
}

glm::quat blend(const glm::quat& a, const glm::quat& b, float alpha) {
    return alpha <= 0.0f ? a : (alpha >= 1.0f ? b : glm::slerp(a, b, alpha));
}

} // namespace

void motion_interpolation::capture(const snake& s, const level& field,
                                   const tulk::graphics::camera& chase, float title_angle,
                                   std::uint32_t time) {
    std::swap(older, newer);
    poses_of(s.get_blocks(), newer.snake);
    poses_of(field.get_pickups(), newer.pickups);
    newer.chase = {chase.get_eye(), chase.get_centre(), chase.get_up()};
    newer.title_angle = title_angle;
    newer_time = time;
    count = std::min(count + 1, 2);
}

void motion_interpolation::forget() {
    count = 0;
}

float motion_interpolation::alpha(std::uint32_t now, std::uint32_t period_ms) const {
    if (count == 0) {
        return 1.0f;
    }
    const auto since = static_cast<std::int32_t>(now - newer_time);
    return std::clamp(static_cast<float>(since) / static_cast<float>(period_ms), 0.0f, 1.0f);
}

void motion_interpolation::place(const pose& now, const pose* before, float alpha) {
    if (before == nullptr) {
        now.model->set_drawn_transform(now.pos, now.rot);
        return;
    }
    now.model->set_drawn_transform(blend(before->pos, now.pos, alpha),
                                   blend(before->rot, now.rot, alpha));
}

void motion_interpolation::place_models(float alpha) const {
    if (count == 0) {
        return;
    }
    const bool two = count == 2;
    // A snake block keeps its place in the chain; a new tail has none before.
    for (std::size_t i = 0; i < newer.snake.size(); ++i) {
        const bool same =
            two && i < older.snake.size() && older.snake[i].model == newer.snake[i].model;
        place(newer.snake[i], same ? &older.snake[i] : nullptr, alpha);
    }
    for (const pose& p : newer.pickups) {
        const auto before = std::find_if(older.pickups.begin(), older.pickups.end(),
                                         [&p](const pose& o) { return o.model == p.model; });
        place(p, two && before != older.pickups.end() ? &*before : nullptr, alpha);
    }
}

motion_interpolation::view
motion_interpolation::chase_at(float alpha, const tulk::graphics::camera& chase) const {
    if (count < 2) {
        return {chase.get_eye(), chase.get_centre(), chase.get_up()};
    }
    return {blend(older.chase.eye, newer.chase.eye, alpha),
            blend(older.chase.centre, newer.chase.centre, alpha),
            blend(older.chase.up, newer.chase.up, alpha)};
}

float motion_interpolation::title_angle_at(float alpha, float angle) const {
    if (count < 2) {
        return angle;
    }
    return alpha >= 1.0f ? newer.title_angle
                         : older.title_angle + (newer.title_angle - older.title_angle) * alpha;
}

#include "engine/graphics/camera.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/light.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game/level.h"
#include "game/snake.h"
#include "support/test_context.h"
#include "world_support.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <glm/gtc/quaternion.hpp>
#include <gtest/gtest.h>
#include <vector>

namespace {

block* wall_at(const glm::vec3& pos, const glm::vec3& size = glm::vec3(1.0f)) {
    auto* m = new tulk::graphics::model();
    m->set_geometry(tulk::graphics::geometry::find("cube"));
    auto* b = new block(pos, size, m);
    b->set_pos(pos);
    b->set_size(size);
    return b;
}

block* pickup_block(tulk::graphics::scene& scene) {
    auto* m = new tulk::graphics::model();
    m->set_geometry(tulk::graphics::geometry::find("cube"));
    scene.add_model(m);
    auto* b = new block(glm::vec3(0.0f), glm::vec3(2.0f), m);
    b->set_size(b->size);
    return b;
}

bool on_centi_grid(float v) {
    const float scaled = v * 100.0f;
    return std::fabs(scaled - std::round(scaled)) < 1e-2f;
}

class level_world : public ::testing::Test {
protected:
    test_context ctx{64, 64};
    tulk::graphics::scene play;
    tulk::graphics::scene title;

    // One world update in the order the game runs it.
    static void world_update(snake& s, level& l, tulk::graphics::scene& scene) {
        s.update();
        l.update();
        s.self_intersecting();
        l.check_intersections(s, scene);
    }

    // Puts the head on `pos` with a unit box, so faces touch at exact coordinates.
    static void place_head(snake& s, const glm::vec3& pos) {
        s.get_head()->set_pos(pos);
        s.get_head()->set_size(glm::vec3(1.0f));
    }
};

} // namespace

TEST_F(level_world, reset_builds_the_cage_in_both_scenes_and_pickups_in_play_only) {
    level l;
    EXPECT_EQ(l.get_bounds_min(), glm::vec3(0.0f));
    EXPECT_EQ(l.get_bounds_max(), glm::vec3(0.0f));

    l.reset(play, title);
    ASSERT_EQ(l.get_blocks().size(), 60u);
    ASSERT_EQ(l.get_pickups().size(), 3u);
    EXPECT_EQ(play.get_model_count(), 63u);
    EXPECT_EQ(title.get_model_count(), 60u);
    EXPECT_EQ(l.get_bounds_min(), glm::vec3(-28.0f));
    EXPECT_EQ(l.get_bounds_max(), glm::vec3(28.0f));

    for (const block* w : l.get_blocks()) {
        EXPECT_EQ(w->model->get_pos(), w->pos);
        EXPECT_EQ(w->model->get_size(), w->size);
        EXPECT_EQ(w->model->get_colour(), glm::vec4(1.0f));
        EXPECT_FALSE(w->model->get_outlined());
        EXPECT_EQ(w->model->get_scenes().size(), 2u);
        // Every bar lies in a face of the cube from -30 to 30 and is 60 long.
        const float longest = std::max({w->size.x, w->size.y, w->size.z});
        EXPECT_EQ(longest, 60.0f);
        EXPECT_EQ(w->size.x + w->size.y + w->size.z, 62.0f);
        const float far = std::max({std::fabs(w->pos.x), std::fabs(w->pos.y), std::fabs(w->pos.z)});
        EXPECT_EQ(far, 30.0f);
    }
    // Rows of the layout: the first bar, the sixth and the last.
    EXPECT_EQ(l.get_blocks()[0]->pos, glm::vec3(-30, 0, 30));
    EXPECT_EQ(l.get_blocks()[0]->size, glm::vec3(1, 60, 1));
    EXPECT_EQ(l.get_blocks()[5]->pos, glm::vec3(-30, -30, 0));
    EXPECT_EQ(l.get_blocks()[5]->size, glm::vec3(1, 1, 60));
    EXPECT_EQ(l.get_blocks()[44]->pos, glm::vec3(0, 30, -30));
    EXPECT_EQ(l.get_blocks()[59]->pos, glm::vec3(30, 0, 30));

    for (const block* p : l.get_pickups()) {
        EXPECT_EQ(p->size, glm::vec3(2.0f));
        EXPECT_EQ(p->model->get_pos(), p->pos);
        EXPECT_EQ(p->model->get_size(), p->size);
        EXPECT_EQ(p->model->get_colour(), glm::vec4(0, 0.8f, 0, 1));
        EXPECT_TRUE(p->model->get_outlined());
        EXPECT_EQ(p->model->get_scenes().size(), 1u);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_GE(p->pos[axis], -28.0f);
            EXPECT_LT(p->pos[axis], 28.0f);
            EXPECT_TRUE(on_centi_grid(p->pos[axis])) << p->pos[axis];
        }
    }
}

TEST_F(level_world, twelve_edge_bars_are_listed_twice) {
    level l;
    l.reset(play, title);
    const auto& walls = l.get_blocks();
    int pairs = 0;
    for (size_t i = 0; i < walls.size(); ++i) {
        for (size_t j = i + 1; j < walls.size(); ++j) {
            if (walls[i]->pos == walls[j]->pos && walls[i]->size == walls[j]->size) {
                ++pairs;
            }
        }
    }
    EXPECT_EQ(pairs, 12);
    EXPECT_EQ(walls[0]->pos, walls[55]->pos); // bars 1 and 56
    EXPECT_EQ(walls[0]->size, walls[55]->size);
    EXPECT_NE(walls[0]->model, walls[55]->model);
}

TEST_F(level_world, reset_twice_leaves_one_field_and_destruction_empties_the_scenes) {
    {
        level l;
        l.reset(play, title);
        l.reset(play, title);
        EXPECT_EQ(l.get_blocks().size(), 60u);
        EXPECT_EQ(l.get_pickups().size(), 3u);
        EXPECT_EQ(play.get_model_count(), 63u);
        EXPECT_EQ(title.get_model_count(), 60u);
        // Every model the scenes list belongs to the current field.
        for (size_t i = 0; i < play.get_model_count(); ++i) {
            const auto* m = play.get_model(i);
            const auto owned = [m](const block* b) { return b->model == m; };
            EXPECT_TRUE(std::any_of(l.get_blocks().begin(), l.get_blocks().end(), owned) ||
                        std::any_of(l.get_pickups().begin(), l.get_pickups().end(), owned));
        }
    }
    EXPECT_EQ(play.get_model_count(), 0u);
    EXPECT_EQ(title.get_model_count(), 0u);
}

TEST_F(level_world, bounds_come_from_wall_centres_in_any_order) {
    const std::vector<glm::vec3> centres = {
        {-30, 4, 7}, {12, -50, 0}, {3, 9, 40}, {0, 0, -8}, {25, 1, 2}};
    level forward;
    for (const auto& c : centres) {
        forward.add_block(wall_at(c, glm::vec3(100.0f))); // sizes do not count
    }
    EXPECT_EQ(forward.get_bounds_min(), glm::vec3(-28, -48, -6));
    EXPECT_EQ(forward.get_bounds_max(), glm::vec3(23, 7, 38));

    std::vector<glm::vec3> shuffled = centres;
    std::sort(shuffled.begin(), shuffled.end(),
              [](const glm::vec3& a, const glm::vec3& b) { return a.y < b.y; });
    do {
        level other;
        for (const auto& c : shuffled) {
            other.add_block(wall_at(c));
        }
        ASSERT_EQ(other.get_bounds_min(), forward.get_bounds_min());
        ASSERT_EQ(other.get_bounds_max(), forward.get_bounds_max());
    } while (
        std::next_permutation(shuffled.begin(), shuffled.end(),
                              [](const glm::vec3& a, const glm::vec3& b) { return a.y < b.y; }));
}

TEST_F(level_world, pickups_in_a_collapsed_box_take_its_lower_end) {
    // Walls 1 apart on x give a reversed range, 4 apart on y an empty one.
    level l;
    l.add_block(wall_at({0, 0, -10}));
    l.add_block(wall_at({1, 4, 10}));
    EXPECT_EQ(l.get_bounds_min(), glm::vec3(2, 2, -8));
    EXPECT_EQ(l.get_bounds_max(), glm::vec3(-1, 2, 8));
    block* p = pickup_block(play);
    l.add_pickup(p);
    EXPECT_EQ(p->pos.x, 2.0f);
    EXPECT_EQ(p->pos.y, 2.0f);
    EXPECT_GE(p->pos.z, -8.0f);
    EXPECT_LT(p->pos.z, 8.0f);
    EXPECT_EQ(p->model->get_pos(), p->pos);
}

TEST_F(level_world, pickups_spin_but_their_boxes_stay) {
    level l;
    l.reset(play, title);
    const block* p = l.get_pickups()[1];
    const glm::vec3 pos = p->pos;
    for (int k = 0; k < 3; ++k) {
        l.update();
    }
    EXPECT_EQ(p->pos, pos);
    EXPECT_EQ(p->size, glm::vec3(2.0f));
    const glm::quat& rot = p->model->get_rot();
    EXPECT_NEAR(glm::degrees(glm::angle(rot)), 15.0f, 1e-3f);
    const glm::vec3 axis = glm::axis(rot);
    EXPECT_NEAR(axis.x, 1.0f / std::sqrt(3.0f), 1e-4f);
    EXPECT_NEAR(axis.y, axis.x, 1e-5f);
    EXPECT_NEAR(axis.z, axis.x, 1e-5f);
}

TEST_F(level_world, fresh_snake_flying_straight_dies_on_the_bars_in_update_73) {
    fake_clock clock;
    snake s(play);
    level l;
    l.reset(play, title);
    for (int k = 1; k <= 72; ++k) {
        world_update(s, l, play);
        ASSERT_FALSE(s.get_dead()) << "update " << k;
    }
    world_update(s, l, play);
    EXPECT_TRUE(s.get_dead());
    EXPECT_EQ(fake_clock::reads, 1); // one wall hit, one death, though two bars cross there

    // Dead, it is neither killed again by the bar it still touches.
    l.check_intersections(s, play);
    EXPECT_EQ(fake_clock::reads, 1);
}

TEST_F(level_world, the_kill_box_is_open_at_36) {
    fake_clock clock;
    snake s(play);
    level l;
    l.reset(play, title);
    for (int axis = 0; axis < 3; ++axis) {
        for (float sign : {-1.0f, 1.0f}) {
            s.reset(play);
            glm::vec3 c(0.0f);
            c[axis] = sign * 35.99f;
            s.get_head()->set_pos(c);
            l.check_intersections(s, play);
            EXPECT_FALSE(s.get_dead()) << axis << " " << sign;
            c[axis] = sign * 36.0f;
            s.get_head()->set_pos(c);
            l.check_intersections(s, play);
            EXPECT_TRUE(s.get_dead()) << axis << " " << sign;
        }
    }
    EXPECT_EQ(fake_clock::reads, 6);
}

TEST_F(level_world, walls_kill_on_touch) {
    fake_clock clock;
    snake s(play);
    level l;
    l.add_block(wall_at({10, 0, 0}));
    l.add_block(wall_at({10, 0, 0.5f}));
    // The bounds are collapsed around one wall; the head is inside the kill box.
    place_head(s, {8.999f, 0, 0});
    l.check_intersections(s, play);
    EXPECT_FALSE(s.get_dead());
    place_head(s, {9.0f, 0, 0});
    l.check_intersections(s, play);
    EXPECT_TRUE(s.get_dead());
    EXPECT_EQ(fake_clock::reads, 1); // the second wall it touches is not tested
}

TEST_F(level_world, an_eaten_pickup_grows_the_snake_and_is_replaced) {
    Mix_Chunk* pup = load_marked_sound("sfx/167338__plimbo__pup-fat.wav");
    ASSERT_NE(pup, nullptr);
    snake s(play);
    level l;
    l.reset(play, title);
    tulk::graphics::scene::set_global_outline_thickness(10);
    const size_t play_models = play.get_model_count();

    block* first = l.get_pickups()[0];
    block* second = l.get_pickups()[1];
    block* third = l.get_pickups()[2];
    // Touching faces count: the unit head at the origin, the pickup's face at x = 0.5.
    place_head(s, {0, 0, 0});
    second->set_pos({1.5f, 0, 0});
    first->set_pos({0, 1.501f, 0});
    third->set_pos({0, 20, 0});
    l.check_intersections(s, play);

    ASSERT_EQ(s.get_length(), 11);
    EXPECT_EQ(s.get_blocks().back(), second);
    EXPECT_EQ(second->pos, s.get_blocks()[9]->pos); // on the old tail
    EXPECT_EQ(tulk::graphics::scene::get_global_outline_thickness(), 60);
    EXPECT_EQ(Mix_VolumeChunk(pup, -1), 128);
    ASSERT_EQ(l.get_pickups().size(), 3u);
    EXPECT_EQ(l.get_pickups()[0], first);
    EXPECT_EQ(l.get_pickups()[1], third);
    const block* fresh = l.get_pickups()[2];
    EXPECT_EQ(fresh->size, glm::vec3(2.0f));
    EXPECT_EQ(fresh->model->get_colour(), glm::vec4(0, 0.8f, 0, 1));
    EXPECT_TRUE(fresh->model->get_outlined());
    EXPECT_EQ(play.get_model_count(), play_models + 1);
    EXPECT_EQ(play.get_model(play_models), fresh->model);
    EXPECT_FALSE(s.get_dead());

    // The eaten pickup's model turns with the body now, not with the spin.
    const glm::quat before = second->model->get_rot();
    l.update();
    EXPECT_EQ(second->model->get_rot(), before);
}

TEST_F(level_world, one_pickup_per_check_earliest_first_and_dead_snakes_still_eat) {
    snake s(play);
    level l;
    l.reset(play, title);
    block* first = l.get_pickups()[0];
    block* second = l.get_pickups()[1];
    l.get_pickups()[2]->set_pos({0, -20, 0});
    s.set_dead();
    place_head(s, {0, 0, 0});
    second->set_pos({0.2f, 0, 0});
    first->set_pos({-0.2f, 0, 0});

    l.check_intersections(s, play);
    ASSERT_EQ(s.get_length(), 11);
    EXPECT_EQ(s.get_blocks().back(), first);
    // The replacement lands at random; keep it off the head for the next check.
    l.get_pickups().back()->set_pos({0, 20, 0});

    place_head(s, {0, 0, 0});
    l.check_intersections(s, play);
    EXPECT_EQ(s.get_length(), 12);
    EXPECT_EQ(s.get_blocks().back(), second);
    EXPECT_EQ(l.get_pickups().size(), 3u);
}

TEST_F(level_world, title_scene_shows_the_far_bars_and_play_scene_the_green_snake) {
    tulk::graphics::camera cam;
    cam.set_eye({0, 0, 0});
    cam.set_centre({0, 0, -1});
    cam.set_up({0, 1, 0});
    tulk::graphics::light sun;
    sun.set_direction({0.5f, -0.9f, 0.5f});
    title.set_camera(&cam);
    title.set_light(&sun);
    play.set_camera(&cam);
    play.set_light(&sun);

    snake s(play);
    level l;
    l.reset(play, title);

    // Straight ahead the two bars of the far face cross; between bars lies empty space.
    title.draw();
    const glm::u8vec4 bars = ctx.pixel(32, 32);
    EXPECT_GT(bars.r, 40);
    EXPECT_EQ(bars.r, bars.g);
    EXPECT_EQ(bars.g, bars.b);
    EXPECT_EQ(glm::u8vec3(ctx.pixel(20, 20)), glm::u8vec3(0, 0, 0));

    // The snake's head, 3 units ahead, fills the middle in green.
    for (block* p : l.get_pickups()) {
        p->set_pos({0, 0, 20}); // behind the camera
    }
    s.get_head()->set_pos({0, 0, -3});
    play.draw();
    const glm::u8vec4 head = ctx.pixel(32, 32);
    EXPECT_GT(head.g, 40);
    EXPECT_LT(head.r, head.g / 2);
    EXPECT_LT(head.b, head.g / 2);
}

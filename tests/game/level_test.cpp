#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game/level.h"
#include "game/snake.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

block* wall_at(const glm::vec3& pos) {
    auto* m = new tulk::graphics::model();
    m->set_geometry(tulk::graphics::geometry::find("cube"));
    return new block(pos, glm::vec3(1.0f), m);
}

class level_world : public ::testing::Test {
protected:
    test_context ctx{64, 64};
    tulk::graphics::scene play;
    tulk::graphics::scene title;
    snake s{play};
    level l;
};

} // namespace

TEST_F(level_world, bounds_come_from_wall_centres_and_may_collapse) {
    for (const glm::vec3& c : {glm::vec3(0, 3, -10), {1, 0, 40}, {0, 4, 7}, {1, 1, 2}}) {
        l.add_block(wall_at(c));
    }
    EXPECT_EQ(l.get_bounds_min(), glm::vec3(2, 2, -8));
    EXPECT_EQ(l.get_bounds_max(), glm::vec3(-1, 2, 38));
    // A reversed range (x) or an empty one (y) puts a pickup at its lower end.
    block* p = wall_at({});
    l.add_pickup(p);
    EXPECT_EQ(glm::vec2(p->pos), glm::vec2(2.0f));
    EXPECT_TRUE(p->pos.z >= -8.0f && p->pos.z < 38.0f) << p->pos.z;
}

TEST_F(level_world, a_fresh_snake_dies_on_the_bars_in_update_73_and_the_kill_box_is_open) {
    fake_clock clock;
    l.reset(play, title);
    for (int k = 1; k <= 73; ++k) {
        ASSERT_FALSE(s.get_dead()) << "update " << k;
        s.update();
        l.check_intersections(s, play);
    }
    EXPECT_TRUE(s.get_dead());
    EXPECT_EQ(fake_clock::reads, 1); // two bars cross there, but one hit is one death

    const auto dies_at = [&](int axis, float v) {
        s.reset(play);
        glm::vec3 c(0.0f);
        c[axis] = v;
        s.get_head()->set_pos(c);
        l.check_intersections(s, play);
        return s.get_dead();
    };
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_FALSE(dies_at(axis, -35.99f) || dies_at(axis, 35.99f)) << axis;
        EXPECT_TRUE(dies_at(axis, -36.0f) && dies_at(axis, 36.0f)) << axis;
    }
}

TEST_F(level_world, an_eaten_pickup_grows_even_a_dead_snake_and_is_replaced) {
    l.reset(play, title);
    tulk::graphics::scene::set_global_outline_thickness(10);
    const std::vector<block*> was = l.get_pickups();
    // Touching faces count: the unit head at the origin, the pickup's face at x = 0.5.
    s.get_head()->set_size(glm::vec3(1.0f));
    was[1]->set_pos({1.5f, 0, 0});
    was[0]->set_pos({0, 1.501f, 0});
    was[2]->set_pos({0, 20, 0});
    l.check_intersections(s, play);

    ASSERT_EQ(s.get_length(), 11);
    EXPECT_EQ(s.get_blocks().back(), was[1]);
    EXPECT_EQ(tulk::graphics::scene::get_global_outline_thickness(), 60);
    ASSERT_EQ(l.get_pickups().size(), 3u);
    EXPECT_TRUE(l.get_pickups()[0] == was[0] && l.get_pickups()[1] == was[2]);
    EXPECT_EQ(play.get_model_count(), 10u + 60u + 3u + 1u); // the replacement is in play
    EXPECT_EQ(title.get_model_count(), 60u);                // the title shows only the cage
    EXPECT_FALSE(s.get_dead());

    s.set_dead();
    was[0]->set_pos(s.get_head()->pos);
    l.check_intersections(s, play);
    EXPECT_EQ(s.get_length(), 12);
    EXPECT_EQ(s.get_blocks().back(), was[0]);
}

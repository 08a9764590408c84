#include "game/snake.h"

#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class snake_world : public ::testing::Test {
protected:
    // A block the way the level hands over an eaten pickup, listed in the scene.
    block* loose_block() {
        auto* m = new tulk::graphics::model();
        m->set_geometry(tulk::graphics::geometry::find("cube"));
        play.add_model(m);
        return new block(glm::vec3(5.0f), glm::vec3(2.0f), m);
    }

    test_context ctx{64, 64};
    tulk::graphics::scene play;
    snake s{play};
};

} // namespace

TEST_F(snake_world, turn_rates_build_up_clamp_and_halve_while_the_body_follows) {
    std::vector<std::pair<glm::vec3, glm::quat>> trail;
    s.change_yaw(1);
    for (int k = 1; k <= 41; ++k) {
        trail.emplace_back(s.get_head()->pos, s.get_head()->model->get_rot());
        s.update();
        ASSERT_NEAR(s.get_yaw_rate(), std::min(0.4f * static_cast<float>(k), 16.0f), 1e-3f) << k;
    }
    // Block i sits where the head was i updates ago, turned as it was then.
    for (size_t i = 1; i < 10; ++i) {
        EXPECT_EQ(s.get_blocks()[i]->pos, trail[41 - i].first) << i;
        EXPECT_EQ(s.get_blocks()[i]->model->get_rot(), trail[41 - i].second) << i;
    }
    s.change_yaw(0);
    s.update();
    EXPECT_EQ(s.get_yaw_rate(), 8.0f);
    // The opposite key brakes by one step before turning the other way.
    s.change_yaw(-1);
    s.update();
    EXPECT_NEAR(s.get_yaw_rate(), 7.6f, 1e-5f);

    // Double speed doubles the limit, clamped again as soon as it drops.
    s.set_double_speed(true);
    s.change_roll(1);
    for (int k = 0; k < 90; ++k) {
        s.update();
    }
    EXPECT_EQ(s.get_roll_rate(), 32.0f);
    s.set_double_speed(false);
    s.update();
    EXPECT_EQ(s.get_roll_rate(), 16.0f);
}

TEST_F(snake_world, appended_block_sits_on_the_tail_and_every_edge_tapers_again) {
    s.change_yaw(1);
    for (int k = 0; k < 15; ++k) {
        s.update();
    }
    const block* tail = s.get_blocks().back();
    block* b = loose_block();
    s.add_to_end(b);
    ASSERT_EQ(s.get_length(), 11);
    EXPECT_EQ(b->pos, tail->pos);
    EXPECT_EQ(b->model->get_rot(), tail->model->get_rot());
    // The head gains 0.001 per block, the tail is an eleventh of it.
    for (size_t i = 0; i < 11; ++i) {
        const float edge = 1.011f * (1.0f - static_cast<float>(i) / 11.0f);
        EXPECT_LT(glm::distance(s.get_blocks()[i]->size, glm::vec3(edge)), 1e-4f) << i;
        EXPECT_EQ(s.get_blocks()[i]->model->get_size(), s.get_blocks()[i]->size) << i;
    }
    s.update();
    EXPECT_NEAR(glm::length(b->pos - tail->pos), 0.4f, 1e-4f);
}

TEST_F(snake_world, overlaps_from_the_tenth_block_on_kill_and_the_death_runs_two_seconds) {
    fake_clock clock;
    for (int i = 0; i < 6; ++i) {
        s.add_to_end(loose_block());
    }
    for (int k = 0; k < 20; ++k) {
        s.update(); // stretched out straight, nothing overlaps the head
    }
    s.self_intersecting();
    ASSERT_FALSE(s.get_dead());
    const glm::vec3 head = s.get_head()->pos;
    s.get_blocks()[12]->set_pos(head);
    s.get_blocks()[15]->set_pos(head + glm::vec3(0.3f, 0, 0));
    s.self_intersecting();
    EXPECT_TRUE(s.get_dead());
    EXPECT_EQ(fake_clock::reads, 2); // set_dead ran once per overlapping block
    s.self_intersecting();
    EXPECT_EQ(fake_clock::reads, 2); // a dead snake is not tested again

    // Each death restarts the two seconds, also across a wrapped counter.
    for (std::uint32_t start : {1000u, 0xFFFFFF00u}) {
        fake_clock::ticks = start;
        s.set_dead();
        fake_clock::ticks = start + 1999u;
        EXPECT_FALSE(s.get_death_done()) << start;
        fake_clock::ticks = start + 2000u;
        EXPECT_TRUE(s.get_death_done()) << start;
    }

    // Dead, no block advances: each takes a step of exactly 0.1 in a random direction.
    const glm::vec3 before = s.get_blocks()[3]->pos;
    s.update();
    EXPECT_NEAR(glm::length(s.get_blocks()[3]->pos - before), 0.1f, 1e-5f);
}

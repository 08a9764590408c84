#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game/snake.h"
#include "support/test_context.h"
#include "world_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr float eps = 1e-4f;

void expect_vec(const glm::vec3& actual, const glm::vec3& expected, float tol = eps) {
    EXPECT_NEAR(actual.x, expected.x, tol);
    EXPECT_NEAR(actual.y, expected.y, tol);
    EXPECT_NEAR(actual.z, expected.z, tol);
}

// A green block the way the level hands over a pickup, listed in the scene.
block* loose_block(tulk::graphics::scene& scene, const glm::vec3& pos) {
    auto* m = new tulk::graphics::model();
    m->set_geometry(tulk::graphics::geometry::find("cube"));
    scene.add_model(m);
    auto* b = new block(pos, glm::vec3(2.0f), m);
    b->set_pos(pos);
    b->set_size(b->size);
    return b;
}

class snake_world : public ::testing::Test {
protected:
    test_context ctx{64, 64};
    tulk::graphics::scene play;
};

} // namespace

TEST_F(snake_world, fresh_snake_is_ten_tapering_blocks_at_the_origin) {
    snake s(play);
    ASSERT_EQ(s.get_length(), 10);
    EXPECT_EQ(play.get_model_count(), 10u);
    EXPECT_EQ(s.get_head(), s.get_blocks().front());
    EXPECT_FALSE(s.get_dead());
    expect_vec(s.get_direction(), {0, 0, -1});
    expect_vec(s.get_up(), {0, 1, 0});
    expect_vec(s.get_right(), {1, 0, 0});

    const float head = 1.01f;
    for (int i = 0; i < 10; ++i) {
        const block* b = s.get_blocks()[static_cast<size_t>(i)];
        expect_vec(b->pos, {0, 0, 0});
        const float edge = head * (1.0f - static_cast<float>(i) / 10.0f);
        expect_vec(b->size, glm::vec3(edge));
        // The model draws exactly the block's box, green and outlined.
        EXPECT_EQ(b->model->get_pos(), b->pos);
        EXPECT_EQ(b->model->get_size(), b->size);
        EXPECT_TRUE(b->model->get_outlined());
        EXPECT_EQ(b->model->get_colour(), glm::vec4(0, 0.8f, 0, 1));
    }
    EXPECT_NEAR(s.get_blocks().back()->size.x, head / 10.0f, eps);
}

TEST_F(snake_world, head_steps_along_its_heading_and_the_body_follows_its_path) {
    snake s(play);
    s.update();
    expect_vec(s.get_head()->pos, {0, 0, -0.4f}, 1e-6f);
    EXPECT_EQ(s.get_head()->model->get_pos(), s.get_head()->pos);
    for (size_t i = 1; i < 10; ++i) {
        expect_vec(s.get_blocks()[i]->pos, {0, 0, 0}, 0.0f);
    }

    snake fast(play);
    fast.set_double_speed(true);
    fast.update();
    expect_vec(fast.get_head()->pos, {0, 0, -0.8f}, 1e-6f);

    // While turning, block i sits where the head was i updates ago, with its rotation.
    snake t(play);
    std::vector<glm::vec3> path{t.get_head()->pos};
    std::vector<glm::quat> turns{t.get_head()->model->get_rot()};
    t.change_yaw(1);
    t.change_pitch(-1);
    for (int k = 1; k <= 12; ++k) {
        t.update();
        path.push_back(t.get_head()->pos);
        turns.push_back(t.get_head()->model->get_rot());
    }
    for (size_t i = 1; i < 10; ++i) {
        const block* b = t.get_blocks()[i];
        EXPECT_EQ(b->pos, path[path.size() - 1 - i]) << "block " << i;
        EXPECT_EQ(b->model->get_pos(), b->pos);
        EXPECT_EQ(b->model->get_rot(), turns[turns.size() - 1 - i]) << "block " << i;
    }
}

TEST_F(snake_world, turn_rates_build_up_clamp_and_halve) {
    snake s(play);
    s.change_yaw(1);
    for (int k = 1; k <= 40; ++k) {
        s.update();
        ASSERT_NEAR(s.get_yaw_rate(), 0.4f * static_cast<float>(k), 1e-3f) << "update " << k;
    }
    s.update();
    EXPECT_EQ(s.get_yaw_rate(), 16.0f);
    EXPECT_EQ(s.get_pitch_rate(), 0.0f);
    EXPECT_EQ(s.get_roll_rate(), 0.0f);

    s.change_yaw(0);
    for (float expected : {8.0f, 4.0f, 2.0f, 1.0f}) {
        s.update();
        EXPECT_EQ(s.get_yaw_rate(), expected);
    }

    // The opposite key brakes by one step before turning the other way.
    s.change_yaw(-1);
    s.update();
    EXPECT_NEAR(s.get_yaw_rate(), 0.6f, 1e-5f);

    // Input acts as a factor; the limit holds on the negative side too.
    s.change_pitch(-100);
    s.update();
    EXPECT_EQ(s.get_pitch_rate(), -16.0f);
}

TEST_F(snake_world, double_speed_doubles_step_and_limit_and_dropping_it_clamps) {
    snake s(play);
    s.set_double_speed(true);
    s.change_roll(1);
    for (int k = 0; k < 90; ++k) {
        s.update();
    }
    EXPECT_EQ(s.get_roll_rate(), 32.0f);

    s.set_double_speed(false);
    const glm::vec3 before = s.get_head()->pos;
    s.update();
    EXPECT_EQ(s.get_roll_rate(), 16.0f);
    EXPECT_NEAR(glm::length(s.get_head()->pos - before), 0.4f, 1e-5f);
}

TEST_F(snake_world, frame_and_head_model_turn_in_step) {
    // From the start frame: yaw left, pitch nose up, roll up towards +x.
    {
        snake s(play);
        s.change_yaw(1);
        s.update();
        EXPECT_LT(s.get_direction().x, 0.0f);
    }
    {
        snake s(play);
        s.change_pitch(1);
        s.update();
        EXPECT_GT(s.get_direction().y, 0.0f);
    }
    {
        snake s(play);
        s.change_roll(1);
        s.update();
        EXPECT_GT(s.get_up().x, 0.0f);
    }

    snake s(play);
    const int inputs[][3] = {{1, 0, 0}, {1, 1, 0}, {0, 1, -1}, {-1, 0, 1}, {0, -1, 1}, {1, 1, 1}};
    for (const auto& in : inputs) {
        s.change_yaw(in[0]);
        s.change_pitch(in[1]);
        s.change_roll(in[2]);
        for (int k = 0; k < 25; ++k) {
            const glm::vec3 before = s.get_head()->pos;
            s.update();
            // The step uses the heading after this update's turns.
            expect_vec(s.get_head()->pos - before, 0.4f * s.get_direction(), 1e-5f);
        }
        const glm::quat& rot = s.get_head()->model->get_rot();
        expect_vec(rot * glm::vec3(0, 0, -1), s.get_direction(), 1e-3f);
        expect_vec(rot * glm::vec3(0, 1, 0), s.get_up(), 1e-3f);
        expect_vec(rot * glm::vec3(1, 0, 0), s.get_right(), 1e-3f);
        EXPECT_NEAR(glm::length(s.get_direction()), 1.0f, 1e-4f);
        EXPECT_NEAR(glm::dot(s.get_direction(), s.get_up()), 0.0f, 1e-4f);
        expect_vec(glm::cross(s.get_direction(), s.get_up()), s.get_right(), 1e-4f);
    }
}

TEST_F(snake_world, appended_block_sits_on_the_tail_and_separates_next_update) {
    snake s(play);
    s.change_yaw(1);
    for (int k = 0; k < 15; ++k) {
        s.update();
    }
    const block* tail = s.get_blocks().back();
    block* b = loose_block(play, {5, 5, 5});
    s.add_to_end(b);
    ASSERT_EQ(s.get_length(), 11);
    EXPECT_EQ(s.get_blocks().back(), b);
    EXPECT_EQ(b->pos, tail->pos);
    EXPECT_EQ(b->model->get_pos(), tail->pos);
    EXPECT_EQ(b->model->get_rot(), tail->model->get_rot());

    // Every edge changes at once: the head gains 0.001, the tail is an eleventh of it.
    EXPECT_NEAR(s.get_head()->size.x, 1.011f, 1e-6f);
    EXPECT_NEAR(b->size.x, 1.011f / 11.0f, eps);
    EXPECT_EQ(b->model->get_size(), b->size);
    for (size_t i = 0; i < 11; ++i) {
        const glm::vec3& e = s.get_blocks()[i]->size;
        EXPECT_TRUE(e.x == e.y && e.y == e.z);
        EXPECT_NEAR(e.x, 1.011f * (1.0f - static_cast<float>(i) / 11.0f), eps);
    }

    s.update();
    EXPECT_NEAR(glm::length(b->pos - tail->pos), 0.4f, 1e-4f);
}

TEST_F(snake_world, death_time_runs_two_seconds_also_across_a_wrapped_counter) {
    fake_clock clock;
    snake s(play);
    fake_clock::ticks = 1000;
    s.set_dead();
    EXPECT_TRUE(s.get_dead());
    EXPECT_EQ(s.get_death_time(), 1000u);
    fake_clock::ticks = 2999;
    EXPECT_FALSE(s.get_death_done());
    fake_clock::ticks = 3000;
    EXPECT_TRUE(s.get_death_done());

    // A second death restarts the two seconds.
    s.set_dead();
    EXPECT_FALSE(s.get_death_done());

    fake_clock::ticks = 0xFFFFFF00u;
    s.set_dead();
    fake_clock::ticks = 0xFFFFFF00u + 1999u; // wraps to 0x6CF
    EXPECT_FALSE(s.get_death_done());
    fake_clock::ticks = 0xFFFFFF00u + 2000u;
    EXPECT_TRUE(s.get_death_done());

    // reset revives without touching the recorded time.
    s.reset(play);
    EXPECT_FALSE(s.get_dead());
    EXPECT_EQ(s.get_death_time(), 0xFFFFFF00u);
}

TEST_F(snake_world, dead_snake_shivers_apart_without_advancing) {
    Mix_Chunk* blast = load_marked_sound("sfx/Blast(1).wav");
    ASSERT_NE(blast, nullptr);
    fake_clock clock;
    snake s(play);
    s.change_yaw(1);
    for (int k = 0; k < 12; ++k) {
        s.update();
    }
    s.set_dead();
    EXPECT_EQ(Mix_VolumeChunk(blast, -1), 128);

    const float rate = s.get_yaw_rate();
    for (int k = 0; k < 20; ++k) {
        std::vector<glm::vec3> before;
        for (const block* b : s.get_blocks()) {
            before.push_back(b->pos);
        }
        s.update();
        for (size_t i = 0; i < before.size(); ++i) {
            const block* b = s.get_blocks()[i];
            ASSERT_NEAR(glm::length(b->pos - before[i]), 0.1f, 1e-5f);
            ASSERT_EQ(b->model->get_pos(), b->pos);
        }
    }
    EXPECT_EQ(s.get_yaw_rate(), rate);
}

TEST_F(snake_world, self_intersection_starts_at_block_ten_and_counts_every_hit) {
    fake_clock clock;
    snake s(play);
    // Ten blocks all on the head: none of 1 to 9 is ever tested.
    s.self_intersecting();
    EXPECT_FALSE(s.get_dead());

    // An eleventh block appended at the origin lies under the head.
    s.add_to_end(loose_block(play, {}));
    s.self_intersecting();
    EXPECT_TRUE(s.get_dead());
    EXPECT_EQ(fake_clock::reads, 1);

    // Sixteen blocks stretched out straight: no hit, until 12 and 15 are put on the head.
    snake t(play);
    for (int i = 0; i < 6; ++i) {
        t.add_to_end(loose_block(play, {}));
    }
    for (int k = 0; k < 20; ++k) {
        t.update();
    }
    fake_clock::reads = 0;
    t.self_intersecting();
    ASSERT_FALSE(t.get_dead());
    t.get_blocks()[5]->set_pos(t.get_head()->pos);
    t.self_intersecting();
    ASSERT_FALSE(t.get_dead());

    t.get_blocks()[12]->set_pos(t.get_head()->pos);
    t.get_blocks()[15]->set_pos(t.get_head()->pos + glm::vec3(0.3f, 0, 0));
    t.self_intersecting();
    EXPECT_TRUE(t.get_dead());
    EXPECT_EQ(fake_clock::reads, 2); // set_dead ran once per overlapping block

    // A dead snake is not tested again.
    t.self_intersecting();
    EXPECT_EQ(fake_clock::reads, 2);
}

TEST_F(snake_world, reset_and_destruction_take_the_models_out_of_the_scene) {
    {
        snake s(play);
        s.add_to_end(loose_block(play, {}));
        s.change_yaw(1);
        s.set_double_speed(true);
        s.update();
        s.set_dead();
        EXPECT_EQ(play.get_model_count(), 11u);
        s.reset(play);
        EXPECT_EQ(play.get_model_count(), 10u);
        EXPECT_EQ(s.get_length(), 10);
        EXPECT_FALSE(s.get_dead());
        EXPECT_EQ(s.get_yaw_rate(), 0.0f);
        expect_vec(s.get_direction(), {0, 0, -1}, 0.0f);
        s.update();
        expect_vec(s.get_head()->pos, {0, 0, -0.4f}, 1e-6f); // inputs and double speed cleared
    }
    EXPECT_EQ(play.get_model_count(), 0u);
}

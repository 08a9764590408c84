#include "engine/graphics/model.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <algorithm>
#include <gtest/gtest.h>

using tulk::graphics::model;

namespace {

// The largest difference of two matrices' elements.
float off_by(const glm::mat4& a, const glm::mat4& b) {
    float most = 0.0f;
    for (int c = 0; c < 4; ++c) {
        most = std::max(most, glm::length(a[c] - b[c]));
    }
    return most;
}

class smooth_motion : public testing::Test {
protected:
    void SetUp() override {
        enter_game_copy();
        running = start_session(160, 120);
        g = &running->get_game();
        g->set_smooth_motion(true);
    }
    void update_at(std::uint32_t t) {
        fake_clock::ticks = t;
        g->update();
    }
    void draw_at(std::uint32_t t) {
        fake_clock::ticks = t;
        g->draw();
    }
    model& head() { return *g->get_snake().get_head()->model; }

    fake_clock clock; // before the session, which reads it
    std::unique_ptr<session> running;
    game* g = nullptr;
};

TEST_F(smooth_motion, the_head_is_drawn_between_two_updates_and_exactly_at_either) {
    g->act(action::start, true);
    for (const bool turning : {false, true}) {
        SCOPED_TRACE(turning);
        g->act(action::yaw_left, turning);
        g->act(action::roll_right, turning);
        const std::uint32_t t = turning ? 1064 : 1000; // no gap: a long one pauses
        update_at(t);
        const glm::mat4 before = head().get_model_matrix();
        update_at(t + 32);
        const glm::mat4 after = head().get_model_matrix();

        draw_at(t + 32);
        EXPECT_EQ(head().get_model_matrix(), before);
        const std::vector<unsigned char> first = read_pixels(160, 120);
        draw_at(t + 64);
        EXPECT_EQ(head().get_model_matrix(), after);
        const std::vector<unsigned char> last = read_pixels(160, 120);
        draw_at(t + 90); // late: no further than the last update
        EXPECT_EQ(head().get_model_matrix(), after);
        draw_at(t + 48);
        const glm::mat4 drawn = head().get_model_matrix();
        const std::vector<unsigned char> between = read_pixels(160, 120);
        EXPECT_TRUE(between != first && between != last) << "a picture of its own";
        // Halfway; turning, the place is halfway and the turn part of the way.
        EXPECT_LT(glm::length(drawn[3] - (before[3] + after[3]) * 0.5f), 1e-5f);
        EXPECT_LT(off_by(drawn, (before + after) * 0.5f), turning ? 0.1f : 1e-5f);
        EXPECT_TRUE(drawn != before && drawn != after);
        // The drawn matrices are the draw's own; the world is the soak's to check.
        EXPECT_EQ(g->get_play_scene().get_camera(), &g->get_chase_camera());
    }
}

TEST_F(smooth_motion, an_eaten_pickup_and_its_replacement_are_drawn_where_they_are) {
    g->act(action::start, true);
    update_at(1000);
    put_pickup_ahead(*g);
    model& eaten = *g->get_level().get_pickups().front()->model;
    model& spinning = *g->get_level().get_pickups().back()->model;
    const glm::mat4 spin_before = spinning.get_model_matrix();
    update_at(1032);
    ASSERT_EQ(g->get_snake().get_blocks().back()->model, &eaten) << "eaten: the new tail";
    model& replacement = *g->get_level().get_pickups().back()->model;
    const glm::mat4 tail = eaten.get_model_matrix();
    const glm::mat4 made = replacement.get_model_matrix();
    const glm::mat4 spin_after = spinning.get_model_matrix();

    draw_at(1048);
    EXPECT_EQ(eaten.get_model_matrix(), tail);
    EXPECT_EQ(replacement.get_model_matrix(), made);
    // A pickup that stayed spins on between the updates.
    const glm::mat4 spin_drawn = spinning.get_model_matrix();
    EXPECT_NE(spin_drawn, spin_before);
    EXPECT_NE(spin_drawn, spin_after);
    EXPECT_EQ(spin_drawn[3], spin_after[3]);

    // A new game starts from where its snake is, not from the last game's.
    g->get_snake().set_dead();
    for (std::uint32_t t = 1064; !g->in_title(); t += 32) {
        update_at(t);
        ASSERT_LT(t, 10000u);
    }
    g->act(action::start, true);
    draw_at(fake_clock::ticks + 16);
    EXPECT_EQ(head().get_model_matrix(), glm::mat4(1.0f));
}

TEST_F(smooth_motion, the_title_camera_moves_along_its_orbit_between_updates) {
    update_at(1000);
    const glm::vec3 before = g->get_title_camera().get_eye();
    update_at(1032);
    const glm::vec3 after = g->get_title_camera().get_eye();
    const auto drawn_eye = [this] {
        return g->get_backdrop_cubes()[0]->get_pos() - g->get_backdrop_offsets()[0];
    };
    draw_at(1032);
    EXPECT_LT(glm::distance(drawn_eye(), before), 1e-4f);
    draw_at(1048);
    const glm::vec3 half = drawn_eye();
    // On the circle, not on the chord between the two places.
    EXPECT_NEAR(glm::length(glm::vec2(half.x, half.z)), 80.0f, 5e-4f);
    EXPECT_NEAR(glm::distance(half, before), glm::distance(half, after), 1e-4f);
    EXPECT_GT(glm::distance(half, before), 0.5f);
    EXPECT_EQ(g->get_title_camera().get_eye(), after);
}

// Frames of the real loop for about 0.3 s of real time; counts draws of the title card.
struct loop_count {
    int updates = 0;
    int draws = 0;
};
int title_draws = 0;
const model* title_card = nullptr;

loop_count run_loop(session& s, bool smooth) {
    game& g = s.get_game();
    g.set_smooth_motion(smooth);
    title_card = &g.get_title_card();
    title_draws = 0;
    model::set_draw_observer([](const model& m, model::pass p, const glm::mat4&) {
        title_draws += &m == title_card && p == model::pass::main;
    });
    const float angle = g.get_angle();
    SDL_AddTimer(
        300,
        [](Uint32, void*) -> Uint32 {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            return 0;
        },
        nullptr);
    frame_loop::run(s.get_window(), g);
    model::set_draw_observer(nullptr);
    return {static_cast<int>(g.get_angle() - angle), title_draws};
}

TEST(smooth_motion_loop, off_one_draw_per_update_on_more_draws_and_never_more_updates) {
    enter_game_copy();
    const std::unique_ptr<session> s = start_session(160, 120);
    const std::uint32_t start = SDL_GetTicks();
    const loop_count off = run_loop(*s, false);
    const std::uint32_t middle = SDL_GetTicks();
    const loop_count on = run_loop(*s, true);
    const std::uint32_t end = SDL_GetTicks();
    std::printf("0.3 s: %d updates %d draws off, %d updates %d draws on\n", off.updates, off.draws,
                on.updates, on.draws);
    EXPECT_EQ(off.draws, off.updates);
    EXPECT_GT(on.draws, on.updates);
    // Once a period at most, however often it draws.
    EXPECT_LE(off.updates, static_cast<int>((middle - start) / frame_loop::period_ms) + 1);
    EXPECT_LE(on.updates, static_cast<int>((end - middle) / frame_loop::period_ms) + 1);
    EXPECT_GT(on.updates, 1);
}

} // namespace

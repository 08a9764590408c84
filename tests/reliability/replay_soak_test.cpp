// ARDLOW_REPLAY_GAMES and _SEED change number and seed; ARDLOW_REPLAY_KEEP names a folder for
// each game-N.replay and game-N.expected, its --verify line, for another machine to check.
#include "engine/graphics/scene.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/level.h"
#include "game/replay.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr action steering[] = {action::yaw_left,    action::yaw_right, action::pitch_up,
                               action::pitch_down,  action::roll_left, action::roll_right,
                               action::double_speed};

// Steers back towards the middle, so that a game lasts.
void pilot(game& g) {
    const snake& s = g.get_snake();
    const glm::vec3 to_middle = -s.get_head()->pos;
    const float far = glm::length(to_middle);
    const bool out = far > 5.0f && glm::dot(to_middle, s.get_direction()) < 0.8f * far;
    // Straight behind, the middle is turned to on the left.
    const bool behind = glm::dot(to_middle, s.get_direction()) < 0.0f;
    const float across = glm::dot(to_middle, s.get_right()) - (behind ? 2.0f : 0.0f);
    const float above = glm::dot(to_middle, s.get_up());
    // A release sets the rate's input to nothing, so only one of each pair is acted on.
    g.act(across < 0.0f ? action::yaw_left : action::yaw_right, out && std::abs(across) > 1.0f);
    g.act(above > 0.0f ? action::pitch_up : action::pitch_down, out && std::abs(above) > 1.0f);
}

std::vector<glm::vec3> positions(const snake& s) {
    std::vector<glm::vec3> out;
    for (const block* b : s.get_blocks()) {
        out.push_back(b->pos);
    }
    return out;
}

} // namespace

TEST(replay_soak, every_game_replays_to_the_same_score_death_and_state) {
    const char* seed_text = std::getenv("ARDLOW_REPLAY_SEED");
    const char* games_text = std::getenv("ARDLOW_REPLAY_GAMES");
    const char* keep = std::getenv("ARDLOW_REPLAY_KEEP");
    const unsigned seed = seed_text != nullptr ? std::strtoul(seed_text, nullptr, 10) : 20261207u;
    const int games = games_text != nullptr ? std::atoi(games_text) : 200;
    enter_game_copy();
    fake_clock clock;
    const auto running = start_session(64, 48);
    game& g = running->get_game();
    tulk::graphics::scene play;
    tulk::graphics::scene title;
    snake again(play);
    level field;
    std::mt19937 random(seed);
    std::uint32_t longest = 0;
    std::uint64_t total = 0;
    for (int n = 0; n < games; ++n) {
        SCOPED_TRACE(n);
        g.act(action::start, true);
        g.act(action::start, false);
        // Every tenth game is steered to last, for up to 4000 updates.
        const std::uint32_t piloted = n % 10 == 9 ? 4000 : 0;
        std::uint32_t updates = 0;
        std::uint32_t death = 0;
        unsigned score = 0;
        while (!g.in_title()) {
            if (updates < piloted) {
                pilot(g);
            } else if (std::bernoulli_distribution(0.2)(random)) {
                g.act(steering[std::uniform_int_distribution<>(0, 6)(random)],
                      std::bernoulli_distribution(0.5)(random));
            }
            score = g.get_score();
            g.update();
            fake_clock::ticks += frame_loop::period_ms;
            ++updates;
            if (death == 0 && g.get_snake().get_dead()) {
                death = updates;
            }
        }
        longest = std::max(longest, updates);
        total += updates;

        std::string why;
        const std::optional<replay> r = replay::read("last.replay", why);
        ASSERT_TRUE(r) << why;
        EXPECT_EQ(r->updates, updates);
        EXPECT_EQ(r->score, score);
        EXPECT_EQ(r->final_check, replay_recorder::check_of(g.get_snake()));

        const replay_player::outcome o = replay_player::play_through(*r, again, field, play, title);
        EXPECT_FALSE(o.diverged_at) << *o.diverged_at;
        EXPECT_EQ(o.score, score);
        EXPECT_EQ(o.updates, updates);
        EXPECT_EQ(o.death_update, death);
        ASSERT_EQ(positions(again), positions(g.get_snake()));
        if (keep != nullptr) {
            const std::string name = std::string(keep) + "/game-" + std::to_string(n);
            std::filesystem::copy_file("last.replay", name + ".replay",
                                       std::filesystem::copy_options::overwrite_existing);
            std::ofstream(name + ".expected") << name << ".replay: score " << score << " in "
                                              << updates << " updates, reproduced\n";
        }
    }
    std::printf("replay soak: %d games, %llu updates, the longest %u\n", games,
                static_cast<unsigned long long>(total), longest);
    EXPECT_GT(longest, 1500u);
}

// ARDLOW_SOAK_FRAMES and ARDLOW_SOAK_SEED change length and seed.
#include "engine/graphics/model.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "support/fake_clock.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <SDL2/SDL.h>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace fs = std::filesystem;
using tulk::graphics::model;
using tulk::graphics::scene;

namespace {

const SDL_Scancode held_keys[] = {
    SDL_SCANCODE_LEFT,   SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP,     SDL_SCANCODE_DOWN,
    SDL_SCANCODE_RSHIFT, SDL_SCANCODE_RCTRL, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_PAGEDOWN,
    SDL_SCANCODE_HOME,   SDL_SCANCODE_END,   SDL_SCANCODE_A,      SDL_SCANCODE_SPACE,
};

class soak {
public:
    explicit soak(unsigned seed, bool smooth = false) : random(seed), smooth(smooth) {
        g->set_smooth_motion(smooth);
    }

    // One frame of random input, then every check; false once a check has failed.
    bool frame(int n) {
        SCOPED_TRACE(n);
        const bool title_before = g->in_title();
        const bool dead_before = g->get_snake().get_dead();
        const bool paused_before = g->is_paused();
        const int length_before = g->get_snake().get_length();
        const unsigned high_before = g->get_high_score();
        // Steer and change speed at random, pause now and then; on the title, start soon.
        if (title_before ? chance(0.15) : chance(paused_before ? 0.1 : 0.01)) {
            push(SDL_KEYDOWN, SDL_SCANCODE_LALT);
            push(SDL_KEYUP, SDL_SCANCODE_LALT);
        }
        for (size_t i = below(4); i > 0; --i) {
            push(chance(0.5) ? SDL_KEYDOWN : SDL_KEYUP, held_keys[below(std::size(held_keys))]);
        }
        if (chance(0.05)) {
            push(SDL_MOUSEMOTION, SDL_SCANCODE_UNKNOWN);
        }
        if (!title_before && !paused_before && !g->get_snake().get_dead() && chance(0.03)) {
            put_pickup_ahead(*g);
        }
        EXPECT_FALSE(frame_loop::step(running->get_window(), *g));
        worlds.push_back(world());
        if (smooth) {
            fake_clock::ticks += frame_loop::period_ms / 2;
            EXPECT_FALSE(frame_loop::step(running->get_window(), *g, nullptr, false));
            fake_clock::ticks += frame_loop::period_ms - frame_loop::period_ms / 2;
        } else {
            fake_clock::ticks += frame_loop::period_ms;
        }

        const bool started = title_before && !g->in_title();
        const bool ended = !title_before && g->in_title();
        games += started;
        game_overs += ended;
        pauses += !paused_before && g->is_paused();
        pickups += !started && g->get_snake().get_length() > length_before;
        // The update ran unless paused or on the title (bar game over): length at its start.
        if (!g->is_paused() && (!g->in_title() || ended)) {
            score = static_cast<unsigned>((started ? snake::start_length : length_before) -
                                          snake::start_length);
            high = std::max(high, score);
        }
        // The death saves the high score; game over the one held when its frame began.
        const bool died = !g->in_title() && g->get_snake().get_dead() && (started || !dead_before);
        saved = died ? std::to_string(high) + "\n"
                     : (ended ? std::to_string(high_before) + "\n" : saved);
        g->get_saver().wait();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(g->get_score_text().get_string(), "score: " + std::to_string(score));
        EXPECT_EQ(g->get_high_score(), high);
        EXPECT_EQ(g->get_high_score_text().get_string(), "high score: " + std::to_string(high));
        if (ended) {
            EXPECT_EQ(g->get_last_score_text().get_string(), "SCORE " + std::to_string(score));
        }
        EXPECT_TRUE(saved.empty() ? !fs::exists("highscore") : read_file("highscore") == saved);
        // Nothing piles up: every model is a fixed one, a snake block or a glyph.
        EXPECT_EQ(model::sModels.size() - varying_models(), fixed_models);
        return !testing::Test::HasFailure();
    }

    int games = 0, game_overs = 0, pauses = 0, pickups = 0;
    // The world after each frame's update, as bytes.
    std::vector<std::string> worlds;

private:
    template <typename T>
    static void add(std::string& bytes, const T& value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }

    // Everything an update reads or writes, bit for bit.
    std::string world() {
        std::string bytes;
        const snake& s = g->get_snake();
        add(bytes, g->get_state());
        add(bytes, g->get_angle());
        add(bytes, scene::get_global_outline_thickness());
        add(bytes, fake_clock::ticks);
        for (const auto* camera : {&g->get_chase_camera(), &g->get_title_camera()}) {
            add(bytes, camera->get_view_matrix());
        }
        add(bytes, s.get_dead());
        add(bytes, s.get_death_time());
        add(bytes, s.get_direction());
        add(bytes, s.get_up());
        add(bytes, glm::vec3(s.get_pitch_rate(), s.get_yaw_rate(), s.get_roll_rate()));
        for (const auto* list : {&s.get_blocks(), &g->get_level().get_pickups()}) {
            for (const block* b : *list) {
                add(bytes, b->pos);
                add(bytes, b->size);
                add(bytes, b->model->get_rot());
            }
        }
        return bytes;
    }

    size_t varying_models() {
        std::vector<text*> texts = g->get_menu().get_texts();
        texts.insert(texts.end(),
                     {&g->get_score_text(), &g->get_high_score_text(), &g->get_last_score_text(),
                      &g->get_game_over_score_text(), &g->get_notice_text()});
        size_t glyphs = 0;
        for (text* t : texts) {
            glyphs += t->get_model()->get_child_count();
        }
        return g->get_snake().get_blocks().size() + glyphs;
    }

    bool chance(double p) { return std::bernoulli_distribution(p)(random); }
    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); }

    void push(Uint32 type, SDL_Scancode code) {
        ::push(key_event(type, code, KMOD_NONE, type == SDL_KEYDOWN && chance(0.1)));
    }

    std::mt19937 random;
    bool smooth;
    fake_clock clock; // set before the session starts, left after it ends
    // Small, so that the software renderer keeps up.
    std::unique_ptr<session> running = start_session(160, 120);
    game* g = &running->get_game();
    const size_t fixed_models = model::sModels.size() - varying_models();
    unsigned score = 0, high = 0;
    std::string saved;
};

} // namespace

TEST(soak, random_play_keeps_the_game_consistent) {
    const char* seed_text = std::getenv("ARDLOW_SOAK_SEED");
    const char* frames_text = std::getenv("ARDLOW_SOAK_FRAMES");
    const unsigned seed = seed_text != nullptr ? std::strtoul(seed_text, nullptr, 10) : 20240611u;
    const int frames = frames_text != nullptr ? std::atoi(frames_text) : 20000;
    enter_game_copy();
    {
        soak s(seed);
        for (int n = 0; n < frames && s.frame(n); ++n) {
        }
        std::printf("soak: seed %u, %d frames, %d games, %d game overs, %d pauses, %d pickups\n",
                    seed, frames, s.games, s.game_overs, s.pauses, s.pickups);
        // The random play really went through every state.
        EXPECT_GT(std::min({s.games, s.game_overs, s.pauses, s.pickups}), 10);
    }
}

TEST(soak, smooth_motion_leaves_every_update_of_a_seeded_game_as_it_was) {
    const int frames = 3000;
    enter_game_copy();
    std::vector<std::string> plain;
    fake_clock::ticks = 0;
    {
        soak s(20240611u);
        for (int n = 0; n < frames && s.frame(n); ++n) {
        }
        plain = std::move(s.worlds);
        // Long enough to have played, died and paused.
        EXPECT_GT(std::min({s.games, s.game_overs, s.pauses, s.pickups}), 1);
    }
    enter_game_copy();
    fake_clock::ticks = 0;
    soak smooth(20240611u, true);
    for (int n = 0; n < frames && smooth.frame(n); ++n) {
    }
    ASSERT_EQ(smooth.worlds.size(), plain.size());
    for (size_t n = 0; n < plain.size(); ++n) {
        ASSERT_EQ(smooth.worlds[n], plain[n]) << "the worlds part at frame " << n;
    }
}

#include "engine/audio/audio.h"
#include "engine/graphics/model.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/game_clock.h"
#include "support/test_context.h"

#include <GLES2/gl2.h>
#include <SDL2/SDL.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::model;

namespace {

// About half a minute in the sanitizer build. ARDLOW_SOAK_FRAMES and ARDLOW_SOAK_SEED
// override the length and the seed.
constexpr int soak_frames = 20000;

std::uint32_t fake_now = 1000;
std::uint32_t fake_clock() {
    return fake_now;
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const SDL_Scancode held_keys[] = {
    SDL_SCANCODE_LEFT,   SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP,     SDL_SCANCODE_DOWN,
    SDL_SCANCODE_RSHIFT, SDL_SCANCODE_RCTRL, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_PAGEDOWN,
    SDL_SCANCODE_HOME,   SDL_SCANCODE_END,   SDL_SCANCODE_A,      SDL_SCANCODE_SPACE,
};

// Seeded random play of the real game: starts, steering, double speed, pauses, pickups
// put in the head's way now and then, deaths and game overs, with time running at 32 ms
// a frame on the game clock so that every death animation ends without waiting.
class soak {
public:
    explicit soak(unsigned seed) : random(seed) {}

    void run(int frames) {
        setup();
        const size_t fixed_models = model::sModels.size() - variable_models();
        for (frame = 0; frame < frames; ++frame) {
            play_frame();
            check_frame(fixed_models);
            if (testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }

    void teardown() {
        if (g) {
            g->teardown_first();
            tulk::audio::destroy();
            g->teardown_second();
            g.reset();
        }
        game_clock::set_source(nullptr);
        context.reset();
        if (!dir.empty()) {
            fs::current_path(previous);
            fs::remove_all(dir);
        }
    }

    int events = 0;
    int games = 0;
    int pauses = 0;
    int pickups = 0;
    int game_overs = 0;

private:
    void setup() {
        previous = fs::current_path();
        dir = enter_game_copy();
        // Small, so that the software renderer keeps up.
        context = std::make_unique<test_context>(160, 120);
        tulk::audio::init();
        game_clock::set_source(fake_clock);
        g = std::make_unique<game>(context->get_window());
    }

    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    void push_key(Uint32 type, SDL_Scancode code) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = code;
        event.key.repeat = type == SDL_KEYDOWN && chance(0.1);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        ++events;
    }

    // Models that come and go with play: the snake's blocks and the two changing texts.
    size_t variable_models() {
        return g->get_snake().get_blocks().size() +
               g->get_score_text().get_model()->get_child_count() +
               g->get_high_score_text().get_model()->get_child_count();
    }

    void play_frame() {
        title_before = g->in_title();
        length_before = g->get_snake().get_length();
        high_before = g->get_high_score();

        // Playing: steer and change speed at random, pause now and then. On the title,
        // start a game soon.
        if (title_before) {
            if (chance(0.15)) {
                push_key(SDL_KEYDOWN, SDL_SCANCODE_LALT);
            }
        } else if (chance(g->is_paused() ? 0.1 : 0.01)) {
            push_key(SDL_KEYDOWN, SDL_SCANCODE_LALT);
            push_key(SDL_KEYUP, SDL_SCANCODE_LALT);
        }
        const int presses = std::uniform_int_distribution<int>(0, 3)(random);
        for (int i = 0; i < presses; ++i) {
            const SDL_Scancode key = held_keys[std::uniform_int_distribution<size_t>(
                0, std::size(held_keys) - 1)(random)];
            push_key(chance(0.5) ? SDL_KEYDOWN : SDL_KEYUP, key);
        }
        if (chance(0.05)) {
            SDL_Event motion{};
            motion.type = SDL_MOUSEMOTION;
            ASSERT_EQ(SDL_PushEvent(&motion), 1);
            ++events;
        }
        // A pickup in the head's way every so often, so that the snake really grows.
        if (!title_before && !g->is_paused() && !g->get_snake().get_dead() && chance(0.03)) {
            block* pickup = g->get_level().get_pickups().front();
            const block* head = g->get_snake().get_head();
            pickup->set_pos(head->pos + 0.4f * g->get_snake().get_direction());
        }

        const bool paused_before = g->is_paused();
        ASSERT_FALSE(frame_loop::step(context->get_window(), *g)) << "frame " << frame;
        fake_now += frame_loop::period_ms;

        games += title_before && !g->in_title();
        game_overs += !title_before && g->in_title();
        pauses += !paused_before && g->is_paused();
        const bool started = title_before && !g->in_title();
        pickups += !started && g->get_snake().get_length() > length_before;
    }

    void check_frame(size_t fixed_models) {
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << frame;

        // The world update ran unless the game stayed on the title or was paused; the
        // frame that ends a game still runs it. It shows the length it found at its start.
        const bool ended = !title_before && g->in_title();
        const bool updated = !g->is_paused() && (!g->in_title() || ended);
        if (updated) {
            const int length_at_update = title_before ? snake::start_length : length_before;
            shown_score = static_cast<unsigned>(length_at_update - snake::start_length);
            if (shown_score >= high) {
                high = shown_score;
            }
        }
        ASSERT_EQ(g->get_score_text().get_string(), "score: " + std::to_string(shown_score))
            << "frame " << frame;
        ASSERT_EQ(g->get_high_score(), high) << "frame " << frame;
        ASSERT_EQ(g->get_high_score_text().get_string(), "high score: " + std::to_string(high))
            << "frame " << frame;

        // Game over saves the high score it held when the frame began.
        if (ended) {
            saved = std::to_string(high_before) + "\n";
        }
        if (saved.empty()) {
            ASSERT_FALSE(fs::exists("highscore")) << "frame " << frame;
        } else {
            ASSERT_EQ(file_text("highscore"), saved) << "frame " << frame;
        }

        // Nothing piles up: every model is a fixed one, a snake block or a glyph.
        ASSERT_EQ(model::sModels.size() - variable_models(), fixed_models) << "frame " << frame;
    }

    std::mt19937 random;
    std::string dir;
    fs::path previous;
    std::unique_ptr<test_context> context;
    std::unique_ptr<game> g;

    int frame = 0;
    bool title_before = true;
    int length_before = 0;
    unsigned high_before = 0;
    unsigned shown_score = 0;
    unsigned high = 0;
    std::string saved;
};

} // namespace

TEST(soak, random_play_keeps_the_game_consistent) {
    const char* seed_text = std::getenv("ARDLOW_SOAK_SEED");
    const char* frames_text = std::getenv("ARDLOW_SOAK_FRAMES");
    const unsigned seed = seed_text != nullptr ? std::strtoul(seed_text, nullptr, 10) : 20240611u;
    const int frames = frames_text != nullptr ? std::atoi(frames_text) : soak_frames;
    soak s(seed);
    s.run(frames);
    s.teardown();

    std::printf("soak: seed %u, %d frames, %d events, %d games, %d game overs, %d pauses, "
                "%d pickups\n",
                seed, frames, s.events, s.games, s.game_overs, s.pauses, s.pickups);
    // The random play really went through every state.
    EXPECT_GT(s.games, 10);
    EXPECT_GT(s.game_overs, 10);
    EXPECT_GT(s.pauses, 10);
    EXPECT_GT(s.pickups, 10);
}

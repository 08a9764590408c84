#pragma once

#include "engine/audio/audio.h"
#include "fake_clock.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "support/test_context.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

// The real game, set up in a private copy of the staged data so that its "highscore"
// stays out of the build tree.
class game_test : public testing::Test {
protected:
    void SetUp() override {
        dir = enter_game_copy();
        if (!stored_high_score.empty()) {
            std::ofstream("highscore") << stored_high_score;
        }
        context = std::make_unique<test_context>(320, 240);
        tulk::audio::init();
        g = std::make_unique<game>(context->get_window());
    }

    void TearDown() override {
        if (g) {
            g->teardown_first();
            tulk::audio::destroy();
            g->teardown_second();
        }
        std::filesystem::remove_all(dir);
    }

    // A key event handed to the game directly, or queued for the next step.
    static SDL_Event key_event(Uint32 type, SDL_Scancode code) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = code;
        return event;
    }
    void key(Uint32 type, SDL_Scancode code) { g->handle_key(key_event(type, code)); }
    void press(SDL_Scancode code) { key(SDL_KEYDOWN, code); }
    static void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }

    bool step(gamepad* pads = nullptr) { return frame_loop::step(context->get_window(), *g, pads); }

    fake_clock clock;
    std::string stored_high_score;
    std::string dir;
    std::unique_ptr<test_context> context;
    std::unique_ptr<game> g;
};

#pragma once

#include "game/action.h"

#include <vector>

class game;

// A fixed player for the benchmark: starts a game whenever the title shows (after a short
// look at it), circles inside the cage with a repeating pattern of held actions for a while
// and then flies straight until the game ends, pauses once, and now and then puts a pickup
// in the snake's path so that it grows and the score texts change. Given the same random
// seed and clock it plays the same games every time.
class flight_script {
public:
    struct settings {
        int title_frames = 15;     // frames the title shows before left Alt starts a game
        int pause_at = 400;        // first frame at which the one pause may begin
        int pause_frames = 45;     // how long it lasts
        int feed_every = 60;       // play frames between two pickups put ahead of the head
        int circling_frames = 560; // play frames of steering before the snake flies straight
    };

    // Makes everything it needs up front, so that driving a frame allocates nothing.
    flight_script();
    explicit flight_script(const settings& s);

    // Sends frame `frame`'s presses and releases to the game; call before its update.
    void before_frame(game& g, int frame);

    // Whether the last before_frame started a game.
    bool started_game() const { return started; }

    // A press and its release.
    static void tap(game& g, action a);

private:
    void steer(game& g);

    settings config;
    std::vector<action> held;
    int title_seen = 0;
    int play_frame = 0;
    int pause_began = -1;
    bool paused_once = false;
    bool started = false;
};

#pragma once

#include "game/action.h"

#include <optional>

class game;

// A player for the growth runs: holds double speed and steers with the turn actions, as a
// player taps the keys, along a helix about the cage's vertical axis (radius 25, climbing 3.6
// units a turn from near the floor). A body that follows the head lies in coils that
// touch neither one another nor a wall bar: the head of a 2000-block snake is 3 units
// wide, and at double speed its tenth block is 8 units behind it, out of its reach on
// any heading (at the normal 0.4 a frame that block would overlap a head this wide on a
// diagonal heading).
class helix_pilot {
public:
    static constexpr int shortest = 10;         // the start length
    static constexpr int longest = 2000;        // coils 3.6 apart have room for a 3-unit head
    static constexpr int approach_frames = 200; // from the start onto the helix
    static constexpr int warm_up_frames = 10;   // drawn before the timing starts

    // Frames a run flies: the approach, one frame per block grown unless the new blocks
    // are piled on the tail at once, the warm-up and `frames` timed ones.
    static int flight_frames(int length, bool piled, int frames);
    // Whether those frames stay below the cage's top.
    static bool fits(int length, bool piled, int frames);

    // Presses and releases this frame's actions; call before the game's update.
    void steer(game& g);

private:
    // Holds the one action of an axis that brings its turn rate nearest to `wanted`: `more`
    // adds 0.4 degrees a frame, `less` takes as much away, neither halves the rate.
    void steer_axis(game& g, float rate, float wanted, action more, action less,
                    std::optional<action>& held);

    bool fast = false;
    bool started = false;
    float last_angle = 0.0f;
    float turned = 0.0f; // radians about the axis since the start, unwrapped
    std::optional<action> yaw_held;
    std::optional<action> pitch_held;
};

#pragma once

#include <SDL2/SDL.h>
#include <chrono>
#include <cstdint>
#include <optional>

// The smooth frame loop's timing: frames at the display's rate, and among them the world
// updates, one each period on the same rule as one frame per update (a late update is
// followed by the next with no delay; none is made up).
class frame_pacer {
public:
    using clock = std::chrono::steady_clock;

    explicit frame_pacer(std::uint32_t period_ms) : period(period_ms) {}

    // Whether the world updates in the frame that starts at `now` (milliseconds). The next
    // is then due a period after this one was due when it ran at most `slack` ms late
    // (waiting for the display's refresh), else a period after `now`.
    bool update_due(std::uint32_t now, std::uint32_t slack);

    // The display's refresh interval: from its mode's refresh rate, 60 Hz where unknown.
    static clock::duration refresh_interval(SDL_Window* window);

    // Asks for a swap that waits for the display (adaptive where offered) while `on`, and
    // gives the driver's own setting back when off. Where no swap waits, sleep_after keeps
    // the pace.
    void wait_for_display(bool on);

    // After a frame that began at `start`: sleeps for the rest of `interval` unless the
    // frame already took most of it (a swap that waited for the display).
    static void sleep_after(clock::time_point start, clock::duration interval);

private:
    std::uint32_t period;
    std::optional<std::uint32_t> due;
    // The swap interval before the first change; none while unchanged.
    std::optional<int> own_interval;
};

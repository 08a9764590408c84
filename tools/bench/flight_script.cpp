#include "bench/flight_script.h"

#include "game/block.h"
#include "game/game.h"

#include <algorithm>

namespace {

constexpr int max_held = 4;

// The actions held at one play frame of a game: for `circling_frames` a loop of held and
// released left turns that keeps the snake inside the cage, with a short climb or dive
// now and then and a burst of double speed; after that no key, so the snake flies
// straight into the cage or past its edge and the game ends.
int keys_at(int play_frame, int circling_frames, action keys[max_held]) {
    if (play_frame >= circling_frames) {
        return 0;
    }
    int n = 0;
    const int phase = play_frame % 40;
    if (phase < 12 || (phase >= 20 && phase < 32)) {
        keys[n++] = action::yaw_left;
    }
    const int turn = play_frame / 40;
    if (phase >= 34 && phase < 38) {
        keys[n++] = turn % 2 == 0 ? action::pitch_down : action::pitch_up;
    }
    if (turn % 5 == 2 && phase < 6) {
        keys[n++] = action::double_speed;
    }
    return n;
}

} // namespace

flight_script::flight_script() : flight_script(settings{}) {}

flight_script::flight_script(const settings& s) : config(s) {
    held.reserve(max_held);
}

void flight_script::tap(game& g, action a) {
    g.act(a, true);
    g.act(a, false);
}

void flight_script::before_frame(game& g, int frame) {
    started = false;
    if (g.in_title()) {
        // A fresh snake has no turn inputs, so nothing counts as held any more.
        held.clear();
        if (++title_seen > config.title_frames) {
            tap(g, action::start);
            title_seen = 0;
            play_frame = 0;
            started = !g.in_title();
        }
        return;
    }

    const bool dying = g.get_snake().get_dead();
    if (g.is_paused()) {
        if (frame - pause_began >= config.pause_frames) {
            tap(g, action::start);
        }
        return;
    }
    if (!paused_once && !dying && frame >= config.pause_at) {
        paused_once = true;
        pause_began = frame;
        tap(g, action::start);
        return;
    }
    if (dying) {
        return;
    }

    steer(g);
    if (play_frame % config.feed_every == config.feed_every - 1 &&
        !g.get_level().get_pickups().empty()) {
        // Where the head will be after this frame's update, at either speed.
        block* pickup = g.get_level().get_pickups().front();
        const block* head = g.get_snake().get_head();
        pickup->set_pos(head->pos + 0.4f * g.get_snake().get_direction());
    }
    ++play_frame;
}

void flight_script::steer(game& g) {
    action want[max_held];
    const int n = keys_at(play_frame, config.circling_frames, want);
    const auto wanted = [&want, n](action a) { return std::find(want, want + n, a) != want + n; };
    for (auto it = held.begin(); it != held.end();) {
        if (!wanted(*it)) {
            g.act(*it, false);
            it = held.erase(it);
        } else {
            ++it;
        }
    }
    for (int i = 0; i < n; ++i) {
        if (std::find(held.begin(), held.end(), want[i]) == held.end()) {
            g.act(want[i], true);
            held.push_back(want[i]);
        }
    }
}

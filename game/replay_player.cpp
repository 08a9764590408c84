#include "game/replay_player.h"

#include "engine/graphics/engine.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/window.h"
#include "engine/util/util.h"
#include "game/level.h"
#include "game/replay_recorder.h"
#include "game/snake.h"

#include <cstdlib>
#include <utility>

namespace {

int from_two_bits(unsigned bits) {
    return bits == 3 ? -1 : static_cast<int>(bits);
}

} // namespace

replay_player::replay_player(replay r) : recording(std::move(r)) {}

void replay_player::apply(replay::inputs held, snake& s) {
    s.change_yaw(from_two_bits(held & 3u));
    s.change_pitch(from_two_bits((held >> 2) & 3u));
    s.change_roll(from_two_bits((held >> 4) & 3u));
    s.set_double_speed((held & replay::double_speed) != 0);
}

void replay_player::before_update(snake& s) {
    if (run_index >= recording.runs.size()) {
        // Past the end, nothing is held.
        apply(0, s);
        return;
    }
    const replay::run& r = recording.runs[run_index];
    apply(r.held, s);
    if (++used_of_run == r.count) {
        ++run_index;
        used_of_run = 0;
    }
}

void replay_player::after_update(const snake& s) {
    ++done;
    if (diverged_at != 0) {
        return;
    }
    if (done % replay::check_interval == 0 &&
        done / replay::check_interval <= recording.checks.size() &&
        recording.checks[done / replay::check_interval - 1] != replay_recorder::check_of(s)) {
        diverged_at = done;
    } else if (done == recording.updates && recording.final_check != replay_recorder::check_of(s)) {
        diverged_at = done;
    }
}

replay_player::outcome replay_player::play_through(const replay& r, snake& s, level& l,
                                                   tulk::graphics::scene& play,
                                                   tulk::graphics::scene& title) {
    // As a game starts: the snake, then the field from the recording's seed.
    s.reset(play);
    tulk::util::reseed(r.seed);
    l.reset(play, title);
    replay_player p(r);
    outcome result;
    while (!p.finished()) {
        // The game's score is taken as its last update begins.
        if (p.last_update_next()) {
            result.score = static_cast<std::uint32_t>(s.get_length() - snake::start_length);
        }
        p.before_update(s);
        s.update();
        l.update();
        s.self_intersecting();
        l.check_intersections(s, play);
        p.after_update(s);
        if (result.death_update == 0 && s.get_dead()) {
            result.death_update = p.get_done();
        }
    }
    result.updates = p.get_done();
    result.diverged_at = p.get_diverged_at();
    if (!result.diverged_at && result.score != r.score) {
        result.diverged_at = r.updates;
    }
    return result;
}

std::optional<replay> replay_player::load(const std::string& path, std::FILE* out) {
    std::string why;
    std::optional<replay> r = replay::read(path, why);
    if (!r) {
        std::fprintf(out, "%s: %s\n", path.c_str(), why.c_str());
    }
    return r;
}

int replay_player::verify_file(const std::string& path, std::FILE* out) {
    const std::optional<replay> r = load(path, out);
    if (!r) {
        return 1;
    }
    // The models are made with their GL programs, so a context is needed, but no display.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    outcome result;
    {
        const tulk::graphics::window surface("ardlow --verify", 0, 0, 16, 16, false, false);
        tulk::graphics::init();
        tulk::graphics::scene play;
        tulk::graphics::scene title;
        snake s(play);
        level l;
        result = play_through(*r, s, l, play, title);
    }
    if (result.diverged_at) {
        std::fprintf(out, "%s: diverged at update %u\n", path.c_str(), *result.diverged_at);
        return 1;
    }
    std::fprintf(out, "%s: score %u in %u updates, reproduced\n", path.c_str(), result.score,
                 result.updates);
    return 0;
}

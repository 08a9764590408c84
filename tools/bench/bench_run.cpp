#include "bench/bench_run.h"

#include "bench/allocations.h"
#include "bench/draw_list.h"
#include "bench/flight_script.h"
#include "bench/floor_renderer.h"
#include "bench/helix_pilot.h"
#include "engine/audio/audio.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/model.h"
#include "engine/graphics/program.h"
#include "engine/util/fatal.h"
#include "game/block.h"
#include "game/frame_loop.h"
#include "game/game.h"
#include "game/game_clock.h"
#include "game/session.h"

#include <GLES2/gl2.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::geometry;
using tulk::graphics::model;
using tulk::graphics::program;

namespace {

constexpr std::uint32_t frame_period_ms = 32;
std::uint32_t clock_now = 1000;
std::uint32_t scripted_clock() {
    return clock_now;
}

double ms_between(std::int64_t from, std::int64_t to) {
    return static_cast<double>(to - from) / 1e6;
}

// A private working folder that sees the staged data through links, so the game finds
// everything it reads while its "highscore" stays out of the stage.
std::string make_work_dir(const std::string& stage) {
    std::string pattern = (fs::temp_directory_path() / "ardlow-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        tulk::util::fatal(1, "bench: cannot make a working folder\n");
    }
    for (const char* folder : {"textures", "music", "sfx"}) {
        std::error_code error;
        fs::create_directory_symlink(fs::absolute(fs::path(stage) / folder),
                                     fs::path(pattern) / folder, error);
        if (error || !fs::exists(fs::path(pattern) / folder)) {
            tulk::util::fatal(1, "bench: no \"%s\" in %s\n", folder, stage.c_str());
        }
    }
    return pattern;
}

// VmRSS of this process in KiB, 0 when it cannot be read.
long resident_kib() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return 0;
    }
    long kib = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmRSS: %ld", &kib) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kib;
}

char kind_of(game& g) {
    if (g.in_title()) {
        return 't';
    }
    if (g.is_paused()) {
        return 'z';
    }
    return g.get_snake().get_dead() ? 'd' : 'p';
}

} // namespace

std::int64_t bench_run::now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {

// Times the game's frames in parts and has the floor draw each one again. Recording
// and timing allocate nothing.
class frame_timer {
public:
    frame_timer() {
        shown_score.reserve(64);
        geometry::enable_get_draw_calls();
        geometry::get_draw_calls();
        program::get_switches();
    }
    ~frame_timer() { geometry::disable_get_draw_calls(); }

    // One frame: `send_keys(g)`, which says whether its keys started a game, and the
    // update, then the draw, then glFinish; then the floor's replay.
    template <class keys>
    bench_run::frame time(game& g, keys&& send_keys);

    unsigned get_skipped() const { return skipped; }

private:
    void replay(bench_run::frame& f);

    floor_renderer floor;
    draw_list list{16384};
    // Compared before and after each frame; room enough that assigning never allocates.
    std::string shown_score;
    unsigned skipped = 0;
};

template <class keys>
bench_run::frame frame_timer::time(game& g, keys&& send_keys) {
    bench_run::frame f;
    const int length_before = g.get_snake().get_length();
    const bool title_before = g.in_title();
    shown_score.assign(g.get_score_text().get_string());
    const std::uint64_t allocated_before = allocations::game_count();
    const std::uint64_t driver_before = allocations::driver_count();
    list.start();
    allocations::set_watching(true);

    const std::int64_t t0 = bench_run::now_ns();
    const bool started = send_keys(g);
    g.update();
    const std::int64_t t1 = bench_run::now_ns();
    g.draw();
    const std::int64_t t2 = bench_run::now_ns();
    glFinish();
    const std::int64_t t3 = bench_run::now_ns();

    allocations::set_watching(false);
    list.stop();
    f.allocations = static_cast<unsigned>(allocations::game_count() - allocated_before);
    f.driver_allocations = static_cast<unsigned>(allocations::driver_count() - driver_before);
    f.kind = kind_of(g);
    f.blocks = static_cast<unsigned>(g.get_snake().get_length());
    if (started) {
        f.events |= bench_run::game_started;
    } else if (g.get_snake().get_length() != length_before) {
        f.events |= bench_run::pickup_eaten;
    }
    if (g.get_score_text().get_string() != shown_score) {
        f.events |= bench_run::texts_rebuilt;
    }
    if (!title_before && g.in_title()) {
        f.events |= bench_run::game_over;
    }
    f.draws = geometry::get_draw_calls();
    f.switches = program::get_switches();
    f.update_ms = ms_between(t0, t1);
    f.draw_ms = ms_between(t1, t2);
    f.whole_ms = ms_between(t0, t3);
    skipped += list.get_skipped();
    replay(f);
    clock_now += frame_period_ms;
    return f;
}

void frame_timer::replay(bench_run::frame& f) {
    floor.save();
    const std::int64_t t0 = bench_run::now_ns();
    floor.draw(list);
    const std::int64_t t1 = bench_run::now_ns();
    glFinish();
    const std::int64_t t2 = bench_run::now_ns();
    floor.restore();
    f.floor_draw_ms = ms_between(t0, t1);
    f.floor_ms = ms_between(t0, t2);
    f.floor_draws = static_cast<unsigned>(list.get_entries().size());
}

// The driver's one-time start, which the first program drawing anything pays whatever it
// draws: the window's buffers on the first clear, the shader compiler on the first compile,
// the code generator on the first draw. Done before the game so that the memory it takes
// is not counted as the game's.
void start_driver() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::unique_ptr<program> least(
        program::build("driverstart",
                       {"driverstartvert", "attribute vec3 position;\n"
                                           "void main() { gl_Position = vec4(position, 1.0); }\n"},
                       {"driverstartfrag", "precision mediump float;\n"
                                           "void main() { gl_FragColor = vec4(1.0); }\n"},
                       {"position"}));
    least->use();
    const float triangle[] = {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f};
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, triangle);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDisableVertexAttribArray(0);
    glFinish();
    glUseProgram(0);
}

// The time and memory of each start-up step, taken as the session reports it done; the
// random generator seeded after the engine's own seeding so that every run plays alike.
class start_up {
public:
    start_up(const bench_run::options& o, bench_run::result& r) : o(o), r(r) {}

    void operator()(session::step done) {
        switch (done) {
        case session::step::window:
            r.rss_window_kib = resident_kib();
            start_driver();
            window_done = bench_run::now_ns();
            r.rss_context_kib = resident_kib();
            break;
        case session::step::engine:
            std::srand(o.seed);
            init_done = bench_run::now_ns();
            r.rss_engine_kib = resident_kib();
            break;
        case session::step::game:
            setup_done = bench_run::now_ns();
            r.rss_setup_kib = resident_kib();
            break;
        }
    }

    // The first frame drawn, and the figures of the whole start-up.
    void first_frame(game& g) {
        g.frame();
        glFinish();
        const std::int64_t first_frame_done = bench_run::now_ns();
        r.rss_first_frame_kib = resident_kib();
        clock_now += frame_period_ms;
        const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        r.renderer = renderer != nullptr ? renderer : "unknown";

        r.startup_ms = ms_between(o.spawned_at, first_frame_done);
        r.window_ms = ms_between(o.main_entered, window_done);
        r.init_ms = ms_between(window_done, init_done);
        r.setup_ms = ms_between(init_done, setup_done);
        r.first_frame_ms = ms_between(setup_done, first_frame_done);
    }

private:
    const bench_run::options& o;
    bench_run::result& r;
    std::int64_t window_done = 0;
    std::int64_t init_done = 0;
    std::int64_t setup_done = 0;
};

// Whole games played by the flight script.
void play_scripted(game& g, const bench_run::options& o, bench_run::result& r) {
    frame_timer timer;
    flight_script script;
    for (int i = 0; i < o.frames; ++i) {
        r.frames.push_back(timer.time(g, [&script, i](game& played) {
            script.before_frame(played, i);
            return script.started_game();
        }));
    }
    r.skipped_draws = timer.get_skipped();
}

// Processor time of the whole process (every thread: the mixer's, the GL driver's), ms.
double process_cpu_ms() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// The real frame loop on the real clock until a quit comes after `seconds`: its wall time
// and the processor time the whole process took meanwhile, in ms.
struct timed_run {
    double wall_ms;
    double cpu_ms;
};
timed_run run_loop_for(session& s, int seconds) {
    const auto quit = [](Uint32, void*) -> Uint32 {
        SDL_Event event{};
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
        return 0;
    };
    const double cpu_before = process_cpu_ms();
    const std::int64_t before = bench_run::now_ns();
    const SDL_TimerID timer = SDL_AddTimer(static_cast<Uint32>(seconds) * 1000u, quit, nullptr);
    frame_loop::run(s.get_window(), s.get_game());
    const double wall = ms_between(before, bench_run::now_ns());
    SDL_RemoveTimer(timer);
    return {wall, process_cpu_ms() - cpu_before};
}

// A game paused as a player pauses it, left to the real frame loop on the real clock for
// `seconds`: what a paused game costs while it waits.
void measure_paused(session& s, const bench_run::options& o, bench_run::result& r) {
    game& g = s.get_game();
    for (int i = 0; i < 200 && (g.in_title() || g.get_snake().get_dead()); ++i) {
        if (g.in_title()) {
            flight_script::tap(g, action::start);
        } else {
            clock_now += 1000;
            g.frame();
        }
    }
    if (!g.is_paused()) {
        flight_script::tap(g, action::start);
    }
    game_clock::set_source(nullptr);
    const timed_run run = run_loop_for(s, o.paused_seconds);
    r.paused_cpu_percent = 100.0 * run.cpu_ms / run.wall_ms;
    r.paused_seconds = o.paused_seconds;
    game_clock::set_source(scripted_clock);
}

// The real frame loop on the real clock for `seconds`, counting the frames that draw `seen`.
bench_run::loop_figure measure_loop(session& s, const model& seen, const char* state, bool smooth,
                                    int seconds) {
    static const model* counted = nullptr;
    static int frames = 0;
    counted = &seen;
    frames = 0;
    model::set_draw_observer([](const model& m, model::pass p, const glm::mat4&) {
        frames += &m == counted && p == model::pass::main;
    });
    s.get_game().set_smooth_motion(smooth);
    const timed_run run = run_loop_for(s, seconds);
    model::set_draw_observer(nullptr);
    return {state, smooth, 1000.0 * frames / run.wall_ms, 100.0 * run.cpu_ms / run.wall_ms};
}

// The title, a game looping on a held pitch (a fresh snake cannot hit itself), and that
// game paused, each with and without smooth motion.
void measure_loops(session& s, const bench_run::options& o, bench_run::result& r) {
    game& g = s.get_game();
    // Switched on the title, where the world's clock is not watched for absences.
    game_clock::set_source(nullptr);
    for (const char* state : {"title", "play", "paused"}) {
        if (std::string(state) == "play") {
            flight_script::tap(g, action::start);
            g.act(action::pitch_up, true);
        } else if (std::string(state) == "paused") {
            flight_script::tap(g, action::start);
        }
        const model& seen = g.in_title() ? g.get_title_card() : *g.get_snake().get_head()->model;
        for (const bool smooth : {false, true}) {
            r.loop.push_back(measure_loop(s, seen, state, smooth, o.loop_seconds));
        }
    }
    game_clock::set_source(scripted_clock);
}

// A block like the snake's own (and like an eaten pickup), as the new tail.
void grow(game& g) {
    g.get_snake().add_to_end(block::make_cube(glm::vec3(0.0f), glm::vec3(1.0f), block::green, true,
                                              {&g.get_play_scene()}));
}

void check_alive(game& g, const bench_run::options& o, const char* when) {
    if (g.get_snake().get_dead() || g.in_title()) {
        const glm::vec3& at = g.get_snake().get_head()->pos;
        tulk::util::fatal(1, "bench: the %d-block snake died %s at %.1f %.1f %.1f\n", o.length,
                          when, at.x, at.y, at.z);
    }
}

// A game whose snake the helix pilot flies while it grows to its length, one block a
// frame so that the body is strung out along the flight path, or all at once on the
// tail; then the timed frames, still on the helix.
void fly_grown(game& g, const bench_run::options& o, bench_run::result& r) {
    helix_pilot pilot;
    flight_script::tap(g, action::start);
    // The pickups wait on the cage's axis, inside every coil and out of the snake's way.
    float y = -12.0f;
    for (block* pickup : g.get_level().get_pickups()) {
        pickup->set_pos(glm::vec3(0.0f, y, 0.0f));
        y += 12.0f;
    }
    const auto fly = [&](const char* when) {
        pilot.steer(g);
        g.update();
        clock_now += frame_period_ms;
        check_alive(g, o, when);
    };
    for (int i = 0; i < helix_pilot::approach_frames; ++i) {
        fly("on its way to the helix");
    }
    while (!o.piled && g.get_snake().get_length() < o.length) {
        fly("while growing");
        grow(g);
    }
    for (int i = 0; i < helix_pilot::warm_up_frames; ++i) {
        fly("before the timing");
        g.draw();
        glFinish();
    }
    // Laid now, the pile is in view for the first timed frames, until the camera passes
    // it, and again whenever the next coil comes round above it.
    while (g.get_snake().get_length() < o.length) {
        grow(g);
    }

    frame_timer timer;
    for (int i = 0; i < o.frames; ++i) {
        r.frames.push_back(timer.time(g, [&pilot](game& flown) {
            pilot.steer(flown);
            return false;
        }));
        check_alive(g, o, "while timed");
    }
    r.skipped_draws = timer.get_skipped();
}

} // namespace

bench_run::result bench_run::run(const options& o) {
    result r;
    r.width = o.width;
    r.height = o.height;
    r.length = o.length;
    r.piled = o.piled;
    r.frames.reserve(static_cast<size_t>(o.frames));

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path home = fs::current_path();
    const std::string work = make_work_dir(o.stage_dir);
    fs::current_path(work);
    clock_now = 1000;
    game_clock::set_source(scripted_clock);
    {
        start_up steps(o, r);
        session s({"Ardlow bench", 0, 0, o.width, o.height, false, false}, std::ref(steps));
        game& g = s.get_game();
        steps.first_frame(g);
        if (o.loop_seconds > 0) {
            measure_loops(s, o, r);
        } else if (o.length > 0) {
            fly_grown(g, o, r);
        } else {
            play_scripted(g, o, r);
        }
        if (o.paused_seconds > 0) {
            measure_paused(s, o, r);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        r.peak_rss_kib = usage.ru_maxrss;
        r.rss_end_kib = resident_kib();
    }
    game_clock::set_source(nullptr);
    fs::current_path(home);
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return r;
}

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(bench_run::frame, kind, update_ms, draw_ms, whole_ms,
                                   floor_draw_ms, floor_ms, draws, switches, floor_draws,
                                   allocations, driver_allocations, events, blocks)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(bench_run::loop_figure, state, smooth, frames_per_second,
                                   cpu_percent)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(bench_run::result, width, height, length, piled, renderer,
                                   startup_ms, window_ms, init_ms, setup_ms, first_frame_ms,
                                   peak_rss_kib, rss_window_kib, rss_context_kib, rss_engine_kib,
                                   rss_setup_kib, rss_first_frame_kib, rss_end_kib, skipped_draws,
                                   frames, paused_seconds, paused_cpu_percent, loop)

bool bench_run::write(const result& r, const std::string& path) {
    std::ofstream out(path);
    out << nlohmann::json(r).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    out.close();
    return !out.fail();
}

bool bench_run::write_all(const std::vector<result>& rs, const std::string& path) {
    std::ofstream out(path);
    out << nlohmann::json(rs).dump(1, ' ', false, nlohmann::json::error_handler_t::replace);
    out.close();
    return !out.fail();
}

bool bench_run::read(const std::string& path, result& r) {
    std::ifstream in(path);
    if (!in) {
        return false;
    }
    try {
        nlohmann::json::parse(in).get_to(r);
    } catch (const nlohmann::json::exception&) {
        return false;
    }
    return true;
}

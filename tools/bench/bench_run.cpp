#include "bench/bench_run.h"

#include "bench/allocations.h"
#include "bench/draw_list.h"
#include "bench/flight_script.h"
#include "bench/floor_renderer.h"
#include "engine/audio/audio.h"
#include "engine/graphics/engine.h"
#include "engine/graphics/geometry.h"
#include "engine/graphics/program.h"
#include "engine/graphics/window.h"
#include "engine/util/fatal.h"
#include "game/game.h"
#include "game/game_clock.h"

#include <GLES2/gl2.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using tulk::graphics::geometry;
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

bench_run::result bench_run::run(const options& o) {
    result r;
    r.width = o.width;
    r.height = o.height;
    r.frames.reserve(static_cast<size_t>(o.frames));

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path home = fs::current_path();
    const std::string work = make_work_dir(o.stage_dir);
    fs::current_path(work);
    clock_now = 1000;
    game_clock::set_source(scripted_clock);

    {
        tulk::graphics::window window("Ardlow bench", 0, 0, o.width, o.height, false, false);
        const std::int64_t window_done = now_ns();
        r.rss_window_kib = resident_kib();
        tulk::init();
        std::srand(o.seed);
        const std::int64_t init_done = now_ns();
        r.rss_engine_kib = resident_kib();
        auto g = std::make_unique<game>(window);
        const std::int64_t setup_done = now_ns();
        r.rss_setup_kib = resident_kib();
        g->frame();
        glFinish();
        const std::int64_t first_frame_done = now_ns();
        r.rss_first_frame_kib = resident_kib();
        clock_now += frame_period_ms;
        const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        r.renderer = renderer != nullptr ? renderer : "unknown";

        r.startup_ms = ms_between(o.spawned_at, first_frame_done);
        r.window_ms = ms_between(o.main_entered, window_done);
        r.init_ms = ms_between(window_done, init_done);
        r.setup_ms = ms_between(init_done, setup_done);
        r.first_frame_ms = ms_between(setup_done, first_frame_done);

        {
            floor_renderer floor;
            draw_list list;
            flight_script script;
            // Compared before and after each frame; room enough that assigning never
            // allocates.
            std::string shown_score;
            shown_score.reserve(64);
            geometry::enable_get_draw_calls();
            geometry::get_draw_calls();
            program::get_switches();

            for (int i = 0; i < o.frames; ++i) {
                frame f;
                const int length_before = g->get_snake().get_length();
                const bool title_before = g->in_title();
                shown_score.assign(g->get_score_text().get_string());
                const std::uint64_t allocated_before = allocations::game_count();
                const std::uint64_t driver_before = allocations::driver_count();
                list.start();
                allocations::set_watching(true);

                const std::int64_t t0 = now_ns();
                script.before_frame(*g, i);
                g->update();
                const std::int64_t t1 = now_ns();
                g->draw();
                const std::int64_t t2 = now_ns();
                glFinish();
                const std::int64_t t3 = now_ns();

                allocations::set_watching(false);
                list.stop();
                f.allocations = static_cast<unsigned>(allocations::game_count() - allocated_before);
                f.driver_allocations =
                    static_cast<unsigned>(allocations::driver_count() - driver_before);
                f.kind = kind_of(*g);
                if (script.started_game()) {
                    f.events |= game_started;
                } else if (g->get_snake().get_length() != length_before) {
                    f.events |= pickup_eaten;
                }
                if (g->get_score_text().get_string() != shown_score) {
                    f.events |= texts_rebuilt;
                }
                if (!title_before && g->in_title()) {
                    f.events |= game_over;
                }
                f.draws = geometry::get_draw_calls();
                f.switches = program::get_switches();
                f.update_ms = ms_between(t0, t1);
                f.draw_ms = ms_between(t1, t2);
                f.whole_ms = ms_between(t0, t3);
                r.skipped_draws += list.get_skipped();

                floor.save();
                const std::int64_t t4 = now_ns();
                floor.draw(list);
                const std::int64_t t5 = now_ns();
                glFinish();
                const std::int64_t t6 = now_ns();
                floor.restore();
                f.floor_draw_ms = ms_between(t4, t5);
                f.floor_ms = ms_between(t4, t6);
                f.floor_draws = static_cast<unsigned>(list.get_entries().size());

                r.frames.push_back(f);
                clock_now += frame_period_ms;
            }
            geometry::disable_get_draw_calls();
        }

        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        r.peak_rss_kib = usage.ru_maxrss;
        r.rss_end_kib = resident_kib();

        g->teardown_first();
        tulk::destroy();
        g->teardown_second();
        g.reset();
    }

    game_clock::set_source(nullptr);
    fs::current_path(home);
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return r;
}

bool bench_run::write(const result& r, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "size %d %d\n", r.width, r.height);
    std::fprintf(out, "renderer %s\n", r.renderer.c_str());
    std::fprintf(out, "startup %.4f %.4f %.4f %.4f %.4f\n", r.startup_ms, r.window_ms, r.init_ms,
                 r.setup_ms, r.first_frame_ms);
    std::fprintf(out, "rss %ld %ld %ld %ld %ld %ld\n", r.peak_rss_kib, r.rss_window_kib,
                 r.rss_engine_kib, r.rss_setup_kib, r.rss_first_frame_kib, r.rss_end_kib);
    std::fprintf(out, "skipped_draws %u\n", r.skipped_draws);
    std::fprintf(out, "frames %zu\n", r.frames.size());
    for (const frame& f : r.frames) {
        std::fprintf(out, "%c %.4f %.4f %.4f %.4f %.4f %u %u %u %u %u %u\n", f.kind, f.update_ms,
                     f.draw_ms, f.whole_ms, f.floor_draw_ms, f.floor_ms, f.draws, f.switches,
                     f.floor_draws, f.allocations, f.driver_allocations, f.events);
    }
    return std::fclose(out) == 0;
}

bool bench_run::read(const std::string& path, result& r) {
    FILE* in = std::fopen(path.c_str(), "r");
    if (in == nullptr) {
        return false;
    }
    size_t count = 0;
    char renderer[256] = {};
    bool ok = std::fscanf(in, " size %d %d", &r.width, &r.height) == 2 &&
              std::fscanf(in, " renderer %255[^\n]", renderer) == 1 &&
              std::fscanf(in, " startup %lf %lf %lf %lf %lf", &r.startup_ms, &r.window_ms,
                          &r.init_ms, &r.setup_ms, &r.first_frame_ms) == 5 &&
              std::fscanf(in, " rss %ld %ld %ld %ld %ld %ld", &r.peak_rss_kib, &r.rss_window_kib,
                          &r.rss_engine_kib, &r.rss_setup_kib, &r.rss_first_frame_kib,
                          &r.rss_end_kib) == 6 &&
              std::fscanf(in, " skipped_draws %u", &r.skipped_draws) == 1 &&
              std::fscanf(in, " frames %zu", &count) == 1;
    r.renderer = renderer;
    r.frames.clear();
    for (size_t i = 0; ok && i < count; ++i) {
        frame f;
        ok = std::fscanf(in, " %c %lf %lf %lf %lf %lf %u %u %u %u %u %u", &f.kind, &f.update_ms,
                         &f.draw_ms, &f.whole_ms, &f.floor_draw_ms, &f.floor_ms, &f.draws,
                         &f.switches, &f.floor_draws, &f.allocations, &f.driver_allocations,
                         &f.events) == 12;
        r.frames.push_back(f);
    }
    std::fclose(in);
    return ok;
}

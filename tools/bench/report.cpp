#include "bench/report.h"

#include "bench/chart.h"
#include "image/canvas.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

using nlohmann::json;

namespace {

std::vector<double> series(const bench_run::result& r, double bench_run::frame::*field) {
    std::vector<double> out;
    out.reserve(r.frames.size());
    for (const bench_run::frame& f : r.frames) {
        out.push_back(f.*field);
    }
    return out;
}

std::vector<double> counts(const bench_run::result& r, unsigned bench_run::frame::*field) {
    std::vector<double> out;
    out.reserve(r.frames.size());
    for (const bench_run::frame& f : r.frames) {
        out.push_back(static_cast<double>(f.*field));
    }
    return out;
}

double ratio(double a, double b) {
    return b > 0.0 ? a / b : 0.0;
}

std::string read_first_line(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

double mib(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

// A table row of one summary: median, 95th, 99th percentile and maximum.
void row(std::FILE* out, const char* name, const stats::summary& s, const char* format) {
    std::fprintf(out, "| %s |", name);
    for (const double v : {s.median, s.p95, s.p99, s.max}) {
        std::fputc(' ', out);
        std::fprintf(out, format, v);
        std::fputs(" |", out);
    }
    std::fputc('\n', out);
}

// "median / 95th / 99th" in one table cell.
void cell(std::FILE* out, const stats::summary& s) {
    std::fprintf(out, " %.3f / %.3f / %.3f |", s.median, s.p95, s.p99);
}

json summary_json(const stats::summary& s) {
    return {{"median", s.median}, {"p95", s.p95}, {"p99", s.p99}, {"max", s.max}};
}

// The figures that every run has.
json timing_json(const bench_run::result& r, const report::figures& f) {
    return {{"width", r.width},
            {"height", r.height},
            {"frames", r.frames.size()},
            {"update_ms", summary_json(f.update)},
            {"draw_submit_ms", summary_json(f.draw)},
            {"whole_frame_ms", summary_json(f.whole)},
            {"floor_draw_submit_ms", summary_json(f.floor_draw)},
            {"floor_frame_ms", summary_json(f.floor)},
            {"draw_calls", summary_json(f.draws)},
            {"program_switches", summary_json(f.switches)},
            {"game_over_floor", {{"median", f.ratio_median}, {"p99", f.ratio_p99}}},
            {"floor_skipped_draws", r.skipped_draws},
            {"peak_rss_mib", mib(r.peak_rss_kib)}};
}

// And those that only the scripted games have.
json scripted_json(const bench_run::result& r, const report::figures& f) {
    json j = timing_json(r, f);
    j["frame_kinds"] = {
        {"play", f.play}, {"title", f.title}, {"paused", f.paused}, {"dying", f.dying}};
    j["startup_ms"] = r.startup_ms;
    if (r.paused_seconds > 0) {
        j["paused_cpu"] = {{"seconds", r.paused_seconds},
                           {"percent_of_a_core", r.paused_cpu_percent}};
    }
    j["startup_parts_ms"] = {{"window", r.window_ms},
                             {"engine", r.init_ms},
                             {"game_setup", r.setup_ms},
                             {"first_frame", r.first_frame_ms}};
    j["rss_mib"] = {
        {"window", mib(r.rss_window_kib)},           {"context", mib(r.rss_context_kib)},
        {"engine", mib(r.rss_engine_kib)},           {"game_setup", mib(r.rss_setup_kib)},
        {"first_frame", mib(r.rss_first_frame_kib)}, {"last_frame", mib(r.rss_end_kib)}};
    json other = json::array();
    for (const size_t index : f.allocating_other) {
        other.push_back({{"frame", index}, {"allocations", r.frames[index].allocations}});
    }
    j["allocating_frames"] = {
        {"texts_rebuilt", f.allocating_texts}, {"pickup_eaten", f.allocating_eaten},
        {"game_started", f.allocating_start},  {"game_over", f.allocating_over},
        {"driver", f.driver_allocating},       {"other", other}};
    return j;
}

} // namespace

report::report(std::vector<bench_run::result> r, machine m) : runs(std::move(r)), where(m) {
    for (const bench_run::result& run : runs) {
        computed.push_back(figure(run));
    }
}

report::figures report::figure(const bench_run::result& r) {
    figures f;
    f.update = stats::summarise(series(r, &bench_run::frame::update_ms));
    f.draw = stats::summarise(series(r, &bench_run::frame::draw_ms));
    f.whole = stats::summarise(series(r, &bench_run::frame::whole_ms));
    f.floor_draw = stats::summarise(series(r, &bench_run::frame::floor_draw_ms));
    f.floor = stats::summarise(series(r, &bench_run::frame::floor_ms));
    f.draws = stats::summarise(counts(r, &bench_run::frame::draws));
    f.switches = stats::summarise(counts(r, &bench_run::frame::switches));
    f.ratio_median = ratio(f.whole.median, f.floor.median);
    f.ratio_p99 = ratio(f.whole.p99, f.floor.p99);
    for (size_t i = 0; i < r.frames.size(); ++i) {
        const bench_run::frame& frame = r.frames[i];
        switch (frame.kind) {
        case 't':
            ++f.title;
            break;
        case 'z':
            ++f.paused;
            break;
        case 'd':
            ++f.dying;
            break;
        default:
            ++f.play;
            break;
        }
        if (frame.driver_allocations > 0) {
            ++f.driver_allocating;
        }
        if (frame.allocations == 0) {
            continue;
        }
        if (frame.events & bench_run::texts_rebuilt) {
            ++f.allocating_texts;
        } else if (frame.events & bench_run::pickup_eaten) {
            ++f.allocating_eaten;
        } else if (frame.events & bench_run::game_started) {
            ++f.allocating_start;
        } else if (frame.events & bench_run::game_over) {
            ++f.allocating_over;
        } else {
            f.allocating_other.push_back(i);
        }
    }
    return f;
}

report::machine report::describe_machine() {
    machine m;
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            m.cpu = colon == std::string::npos ? line : line.substr(colon + 2);
            break;
        }
    }
    m.cores = std::thread::hardware_concurrency();
    m.load_before = load_average();
    return m;
}

std::string report::load_average() {
    return read_first_line("/proc/loadavg");
}

std::vector<size_t> report::scripted() const {
    std::vector<size_t> out;
    for (size_t k = 0; k < runs.size(); ++k) {
        if (runs[k].length == 0) {
            out.push_back(k);
        }
    }
    return out;
}

std::vector<size_t> report::grown() const {
    std::vector<size_t> out;
    for (size_t k = 0; k < runs.size(); ++k) {
        if (runs[k].length > 0) {
            out.push_back(k);
        }
    }
    std::stable_sort(out.begin(), out.end(), [this](size_t a, size_t b) {
        return std::make_pair(runs[a].piled, runs[a].length) <
               std::make_pair(runs[b].piled, runs[b].length);
    });
    return out;
}

void report::print(std::FILE* out) const {
    if (runs.empty()) {
        return;
    }
    std::fprintf(out, "\nArdlow frame benchmark on %s (%u cores), %s\n", where.cpu.c_str(),
                 where.cores, runs.front().renderer.c_str());
    std::fprintf(out, "load average before: %s; after: %s\n\n", where.load_before.c_str(),
                 where.load_after.c_str());
    const std::vector<size_t> sized = scripted();
    for (const size_t k : sized) {
        print_scripted(out, k);
    }
    if (!sized.empty()) {
        print_targets(out, sized.front());
    }
    if (!grown().empty()) {
        print_growth(out);
        print_growth_targets(out);
    }
}

void report::print_scripted(std::FILE* out, size_t k) const {
    const bench_run::result& r = runs[k];
    const figures& f = computed[k];
    std::fprintf(out, "%zu frames at %d x %d (%u play, %u title, %u paused, %u dying)\n\n",
                 r.frames.size(), r.width, r.height, f.play, f.title, f.paused, f.dying);
    std::fprintf(out, "| per frame | median | 95th | 99th | max |\n|---|---:|---:|---:|---:|\n");
    row(out, "world update, ms", f.update, "%.3f");
    row(out, "draw submission, ms", f.draw, "%.3f");
    row(out, "whole frame with glFinish, ms", f.whole, "%.3f");
    row(out, "floor: draw submission, ms", f.floor_draw, "%.3f");
    row(out, "floor: whole frame with glFinish, ms", f.floor, "%.3f");
    row(out, "draw calls", f.draws, "%.0f");
    row(out, "program switches", f.switches, "%.0f");
    std::fprintf(out, "\n- game / floor: %.2f at the median, %.2f at the 99th percentile\n",
                 f.ratio_median, f.ratio_p99);
    std::fprintf(out,
                 "- start-up to the first drawn frame: %.1f ms (window %.1f, engine %.1f, "
                 "game set-up %.1f, first frame %.1f)\n",
                 r.startup_ms, r.window_ms, r.init_ms, r.setup_ms, r.first_frame_ms);
    std::fprintf(out,
                 "- peak resident memory: %.1f MiB (resident after the window %.1f, the "
                 "driver's start %.1f, engine %.1f, game set-up %.1f, first frame %.1f, last "
                 "frame %.1f)\n",
                 mib(r.peak_rss_kib), mib(r.rss_window_kib), mib(r.rss_context_kib),
                 mib(r.rss_engine_kib), mib(r.rss_setup_kib), mib(r.rss_first_frame_kib),
                 mib(r.rss_end_kib));
    std::fprintf(out,
                 "- the game's own memory: %.1f MiB over the context that has drawn once "
                 "(%.1f MiB over the bare context)\n",
                 mib(r.peak_rss_kib - r.rss_context_kib), mib(r.peak_rss_kib - r.rss_window_kib));
    print_allocations(out, k);
    if (r.skipped_draws > 0) {
        std::fprintf(out, "- draws the floor did not replay: %u\n", r.skipped_draws);
    }
    if (r.paused_seconds > 0) {
        std::fprintf(out, "- paused in the real frame loop for %d s: %.2f%% of one core\n",
                     r.paused_seconds, r.paused_cpu_percent);
    }
    std::fprintf(out, "\n");
}

void report::print_allocations(std::FILE* out, size_t k) const {
    const bench_run::result& r = runs[k];
    const figures& f = computed[k];
    std::fprintf(out,
                 "- frames that allocated: %zu (score texts rebuilt %u, pickup eaten %u, "
                 "game started %u, game over %u, other %zu",
                 f.allocating_texts + f.allocating_eaten + f.allocating_start + f.allocating_over +
                     f.allocating_other.size(),
                 f.allocating_texts, f.allocating_eaten, f.allocating_start, f.allocating_over,
                 f.allocating_other.size());
    for (size_t i = 0; i < f.allocating_other.size() && i < 10; ++i) {
        const size_t index = f.allocating_other[i];
        std::fprintf(out, "%s#%zu: %u", i == 0 ? ": " : ", ", index, r.frames[index].allocations);
    }
    std::fprintf(out, "%s)\n", f.allocating_other.size() > 10 ? ", ..." : "");
    std::fprintf(out, "- frames in which the GL driver allocated (new shader variants): %u\n",
                 f.driver_allocating);
}

void report::print_targets(std::FILE* out, size_t k) const {
    const bench_run::result& r = runs[k];
    const figures& f = computed[k];
    std::fprintf(out, "Targets at %d x %d:\n", r.width, r.height);
    std::fprintf(out, "- whole frame 99th percentile <= %.0f ms: %.2f ms, %s\n",
                 limits.whole_p99_ms, f.whole.p99, verdict(f.whole.p99 <= limits.whole_p99_ms));
    std::fprintf(out, "- game / floor <= %.1f: %.2f (median), %s\n", limits.floor_ratio,
                 f.ratio_median, verdict(f.ratio_median <= limits.floor_ratio));
    std::fprintf(out, "- start-up <= %.0f ms: %.1f ms, %s\n", limits.startup_ms, r.startup_ms,
                 verdict(r.startup_ms <= limits.startup_ms));
    std::fprintf(out, "- peak memory <= %.0f MiB: %.1f MiB, %s\n", limits.peak_mib,
                 mib(r.peak_rss_kib), verdict(mib(r.peak_rss_kib) <= limits.peak_mib));
    const double own = mib(r.peak_rss_kib - r.rss_context_kib);
    std::fprintf(out, "- the game's own memory <= %.0f MiB: %.1f MiB, %s\n", limits.own_mib, own,
                 verdict(own <= limits.own_mib));
    std::fprintf(out, "- no allocation in a frame without one of those events: %zu frames, %s\n",
                 f.allocating_other.size(), verdict(f.allocating_other.empty()));
    if (r.paused_seconds > 0) {
        std::fprintf(out, "- paused, under %.0f%% of one core: %.2f%%, %s\n",
                     limits.paused_cpu_percent, r.paused_cpu_percent,
                     verdict(r.paused_cpu_percent < limits.paused_cpu_percent));
    }
}

void report::print_growth(std::FILE* out) const {
    const std::vector<size_t> grew = grown();
    const bench_run::result& first = runs[grew.front()];
    std::fprintf(
        out,
        "\nGrowth at %d x %d: %zu timed frames at each length, the snake flown at "
        "double speed along a helix; ms as median / 95th / 99th, draw calls as median / most\n\n",
        first.width, first.height, first.frames.size());
    std::fprintf(out, "| blocks | world update | draw submission | whole frame with glFinish | "
                      "floor: whole frame | game / floor | draw calls | program switches |\n"
                      "|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const size_t k : grew) {
        const figures& f = computed[k];
        std::fprintf(out, "| %d%s |", runs[k].length, runs[k].piled ? " piled" : "");
        cell(out, f.update);
        cell(out, f.draw);
        cell(out, f.whole);
        cell(out, f.floor);
        std::fprintf(out, " %.2f | %.0f / %.0f | %.0f |\n", f.ratio_median, f.draws.median,
                     f.draws.max, f.switches.median);
    }
    std::fprintf(out, "\n");
}

void report::print_growth_targets(std::FILE* out) const {
    const std::vector<size_t> grew = grown();
    std::fprintf(out, "Targets for growth:\n");
    const size_t* longest = nullptr;
    const size_t* piled = nullptr;
    double worst_ratio = 0.0;
    int worst_at = 0;
    for (const size_t& k : grew) {
        (runs[k].piled ? piled : longest) = &k;
        if (computed[k].ratio_median > worst_ratio) {
            worst_ratio = computed[k].ratio_median;
            worst_at = runs[k].length;
        }
    }
    if (longest != nullptr) {
        const figures& f = computed[*longest];
        std::fprintf(out, "- %d blocks: whole frame 99th percentile <= %.0f ms: %.2f ms, %s\n",
                     runs[*longest].length, limits.whole_p99_ms, f.whole.p99,
                     verdict(f.whole.p99 <= limits.whole_p99_ms));
        std::fprintf(out, "- %d blocks: world update <= %.1f ms: %.3f ms (median), %s\n",
                     runs[*longest].length, limits.longest_update_ms, f.update.median,
                     verdict(f.update.median <= limits.longest_update_ms));
    }
    if (piled != nullptr) {
        const figures& f = computed[*piled];
        std::fprintf(out, "- %d blocks piled: whole frame 99th percentile < %.0f ms: %.2f ms, %s\n",
                     runs[*piled].length, limits.period_ms, f.whole.p99,
                     verdict(f.whole.p99 < limits.period_ms));
    }
    std::fprintf(out, "- game / floor <= %.1f at every length: at most %.2f (%d blocks), %s\n",
                 limits.floor_ratio, worst_ratio, worst_at,
                 verdict(worst_ratio <= limits.floor_ratio));
}

bool report::write_json(const std::string& path) const {
    json j;
    j["machine"] = {{"cpu", where.cpu},
                    {"cores", where.cores},
                    {"renderer", runs.empty() ? "" : runs.front().renderer},
                    {"load_before", where.load_before},
                    {"load_after", where.load_after}};
    j["targets"] = {{"whole_p99_ms", limits.whole_p99_ms},
                    {"game_over_floor", limits.floor_ratio},
                    {"startup_ms", limits.startup_ms},
                    {"peak_mib", limits.peak_mib},
                    {"own_mib", limits.own_mib},
                    {"period_ms", limits.period_ms},
                    {"longest_update_ms", limits.longest_update_ms}};
    j["runs"] = json::array();
    for (const size_t k : scripted()) {
        j["runs"].push_back(scripted_json(runs[k], computed[k]));
    }
    j["growth"] = json::array();
    for (const size_t k : grown()) {
        json g = timing_json(runs[k], computed[k]);
        g["blocks"] = runs[k].length;
        g["piled"] = runs[k].piled;
        j["growth"].push_back(std::move(g));
    }
    std::ofstream file(path);
    file << j.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
    file.close();
    return !file.fail();
}

namespace {

const glm::vec4 game_colour(0.9f, 0.43f, 0.08f, 1.0f);
const glm::vec4 floor_colour(0.16f, 0.35f, 0.78f, 1.0f);
const glm::vec4 target_colour(0.8f, 0.12f, 0.12f, 1.0f);
const glm::vec4 piled_colour(0.55f, 0.1f, 0.6f, 1.0f);

canvas blank(int width, int height) {
    canvas picture(width, height);
    picture.fill_rect(0, 0, width, height, glm::vec4(1.0f));
    return picture;
}

} // namespace

bool report::write_plot(const std::string& path) const {
    constexpr int panel_width = 1000;
    constexpr int panel_height = 300;
    const std::vector<size_t> sized = scripted();
    // One scale for every panel, so that the sizes compare at a glance, with the target
    // line below the top.
    double highest = limits.whole_p99_ms * 1.25;
    for (const size_t k : sized) {
        highest = std::max(highest, computed[k].whole.p99 * 1.25);
    }
    canvas picture =
        blank(panel_width, panel_height * static_cast<int>(std::max<size_t>(sized.size(), 1)));
    for (size_t i = 0; i < sized.size(); ++i) {
        const bench_run::result& r = runs[sized[i]];
        chart panel(picture, 48, static_cast<int>(i) * panel_height + 30, panel_width - 60,
                    panel_height - 46, highest);
        panel.axes();
        panel.level(limits.whole_p99_ms, target_colour, 6);
        const std::string size = std::to_string(r.width) + " X " + std::to_string(r.height);
        panel.heading({{size + ", MS PER FRAME:", chart::ink},
                       {"GAME", game_colour},
                       {"FLOOR", floor_colour},
                       {"TARGET", target_colour}});
        panel.columns(series(r, &bench_run::frame::floor_ms), floor_colour);
        panel.columns(series(r, &bench_run::frame::whole_ms), game_colour);
    }
    return picture.save(path) == 0;
}

bool report::write_growth_plot(const std::string& path) const {
    const std::vector<size_t> grew = grown();
    double longest = 1.0;
    double highest = limits.period_ms * 1.1;
    for (const size_t k : grew) {
        longest = std::max(longest, static_cast<double>(runs[k].length));
        highest = std::max(highest, computed[k].whole.p99 * 1.1);
    }
    canvas picture = blank(1000, 480);
    chart panel(picture, 48, 90, 930, 350, highest);
    panel.axes();
    panel.level(limits.period_ms, target_colour);
    panel.level(limits.whole_p99_ms, target_colour, 6);
    std::vector<glm::dvec2> median;
    std::vector<glm::dvec2> p99;
    std::vector<glm::dvec2> floor;
    for (const size_t k : grew) {
        const double x = runs[k].length / longest;
        const figures& f = computed[k];
        if (runs[k].piled) {
            panel.mark(x, f.whole.median, piled_colour, 9);
            panel.mark(x, f.whole.p99, piled_colour, 5);
            continue;
        }
        panel.label(x, std::to_string(runs[k].length));
        median.emplace_back(x, f.whole.median);
        p99.emplace_back(x, f.whole.p99);
        floor.emplace_back(x, f.floor.median);
    }
    panel.join(p99, game_colour, 4);
    panel.join(median, game_colour);
    panel.join(floor, floor_colour);
    panel.heading({{"MS PER FRAME BY SNAKE BLOCKS AT 800 X 480", chart::ink}}, 2);
    panel.heading({{"GAME MEDIAN", game_colour},
                   {"GAME 99TH, DASHED", game_colour},
                   {"FLOOR MEDIAN", floor_colour}},
                  1);
    panel.heading({{"PILED: MEDIAN BIG, 99TH SMALL", piled_colour},
                   {"32 MS PERIOD", target_colour},
                   {"8 MS TARGET, DASHED", target_colour}});
    return picture.save(path) == 0;
}

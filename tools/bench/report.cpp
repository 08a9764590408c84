#include "bench/report.h"

#include "image/canvas.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <thread>

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

std::string json_escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        if (static_cast<unsigned char>(c) >= 0x20) {
            out += c;
        }
    }
    return out;
}

void json_summary(std::ostream& out, const char* name, const stats::summary& s) {
    out << "      \"" << name << "\": {\"median\": " << s.median << ", \"p95\": " << s.p95
        << ", \"p99\": " << s.p99 << ", \"max\": " << s.max << "},\n";
}

double mib(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
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

void report::print(std::FILE* out) const {
    if (runs.empty()) {
        return;
    }
    std::fprintf(out, "\nArdlow frame benchmark: %zu frames per size on %s (%u cores), %s\n",
                 runs.front().frames.size(), where.cpu.c_str(), where.cores,
                 runs.front().renderer.c_str());
    std::fprintf(out, "load average before: %s; after: %s\n\n", where.load_before.c_str(),
                 where.load_after.c_str());

    for (size_t k = 0; k < runs.size(); ++k) {
        const bench_run::result& r = runs[k];
        const figures& f = computed[k];
        std::fprintf(out, "%d x %d (%u play, %u title, %u paused, %u dying frames)\n\n", r.width,
                     r.height, f.play, f.title, f.paused, f.dying);
        std::fprintf(out, "| per frame | median | 95th | 99th | max |\n");
        std::fprintf(out, "|---|---:|---:|---:|---:|\n");
        const auto row = [out](const char* name, const stats::summary& s, const char* format) {
            std::fprintf(out, "| %s | ", name);
            std::fprintf(out, format, s.median);
            std::fprintf(out, " | ");
            std::fprintf(out, format, s.p95);
            std::fprintf(out, " | ");
            std::fprintf(out, format, s.p99);
            std::fprintf(out, " | ");
            std::fprintf(out, format, s.max);
            std::fprintf(out, " |\n");
        };
        row("world update, ms", f.update, "%.3f");
        row("draw submission, ms", f.draw, "%.3f");
        row("whole frame with glFinish, ms", f.whole, "%.3f");
        row("floor: draw submission, ms", f.floor_draw, "%.3f");
        row("floor: whole frame with glFinish, ms", f.floor, "%.3f");
        row("draw calls", f.draws, "%.0f");
        row("program switches", f.switches, "%.0f");
        std::fprintf(out, "\n");
        std::fprintf(out, "- game / floor: %.2f at the median, %.2f at the 99th percentile\n",
                     f.ratio_median, f.ratio_p99);
        std::fprintf(out,
                     "- start-up to the first drawn frame: %.1f ms (window %.1f, engine %.1f, "
                     "game set-up %.1f, first frame %.1f)\n",
                     r.startup_ms, r.window_ms, r.init_ms, r.setup_ms, r.first_frame_ms);
        std::fprintf(out,
                     "- peak resident memory: %.1f MiB (resident after the window %.1f, "
                     "engine %.1f, game set-up %.1f, first frame %.1f, last frame %.1f)\n",
                     mib(r.peak_rss_kib), mib(r.rss_window_kib), mib(r.rss_engine_kib),
                     mib(r.rss_setup_kib), mib(r.rss_first_frame_kib), mib(r.rss_end_kib));
        std::fprintf(out,
                     "- frames that allocated: %zu (score texts rebuilt %u, pickup eaten %u, "
                     "game started %u, game over %u, other %zu",
                     f.allocating_texts + f.allocating_eaten + f.allocating_start +
                         f.allocating_over + f.allocating_other.size(),
                     f.allocating_texts, f.allocating_eaten, f.allocating_start, f.allocating_over,
                     f.allocating_other.size());
        for (size_t i = 0; i < f.allocating_other.size() && i < 10; ++i) {
            const size_t index = f.allocating_other[i];
            std::fprintf(out, "%s#%zu: %u", i == 0 ? ": " : ", ", index,
                         r.frames[index].allocations);
        }
        std::fprintf(out, "%s)\n", f.allocating_other.size() > 10 ? ", ..." : "");
        std::fprintf(out, "- frames in which the GL driver allocated (new shader variants): %u\n",
                     f.driver_allocating);
        if (r.skipped_draws > 0) {
            std::fprintf(out, "- draws the floor did not replay: %u\n", r.skipped_draws);
        }
        std::fprintf(out, "\n");
    }

    const figures& first = computed.front();
    const bench_run::result& r = runs.front();
    std::fprintf(out, "Targets at %d x %d:\n", r.width, r.height);
    std::fprintf(out, "- whole frame 99th percentile <= %.0f ms: %.2f ms, %s\n",
                 limits.whole_p99_ms, first.whole.p99,
                 verdict(first.whole.p99 <= limits.whole_p99_ms));
    std::fprintf(out, "- game / floor <= %.1f: %.2f (median), %s\n", limits.floor_ratio,
                 first.ratio_median, verdict(first.ratio_median <= limits.floor_ratio));
    std::fprintf(out, "- start-up <= %.0f ms: %.1f ms, %s\n", limits.startup_ms, r.startup_ms,
                 verdict(r.startup_ms <= limits.startup_ms));
    std::fprintf(out, "- peak memory <= %.0f MiB: %.1f MiB, %s\n", limits.peak_mib,
                 mib(r.peak_rss_kib), verdict(mib(r.peak_rss_kib) <= limits.peak_mib));
    std::fprintf(out, "- no allocation in a frame without one of those events: %zu frames, %s\n",
                 first.allocating_other.size(), verdict(first.allocating_other.empty()));
}

bool report::write_json(const std::string& path) const {
    std::ostringstream out;
    out.precision(6);
    out << "{\n";
    out << "  \"machine\": {\"cpu\": \"" << json_escape(where.cpu)
        << "\", \"cores\": " << where.cores << ", \"renderer\": \""
        << json_escape(runs.empty() ? "" : runs.front().renderer) << "\", \"load_before\": \""
        << json_escape(where.load_before) << "\", \"load_after\": \""
        << json_escape(where.load_after) << "\"},\n";
    out << "  \"targets\": {\"whole_p99_ms\": " << limits.whole_p99_ms
        << ", \"game_over_floor\": " << limits.floor_ratio
        << ", \"startup_ms\": " << limits.startup_ms << ", \"peak_mib\": " << limits.peak_mib
        << "},\n";
    out << "  \"runs\": [\n";
    for (size_t k = 0; k < runs.size(); ++k) {
        const bench_run::result& r = runs[k];
        const figures& f = computed[k];
        out << "    {\n";
        out << "      \"width\": " << r.width << ", \"height\": " << r.height
            << ", \"frames\": " << r.frames.size() << ",\n";
        out << "      \"frame_kinds\": {\"play\": " << f.play << ", \"title\": " << f.title
            << ", \"paused\": " << f.paused << ", \"dying\": " << f.dying << "},\n";
        json_summary(out, "update_ms", f.update);
        json_summary(out, "draw_submit_ms", f.draw);
        json_summary(out, "whole_frame_ms", f.whole);
        json_summary(out, "floor_draw_submit_ms", f.floor_draw);
        json_summary(out, "floor_frame_ms", f.floor);
        json_summary(out, "draw_calls", f.draws);
        json_summary(out, "program_switches", f.switches);
        out << "      \"game_over_floor\": {\"median\": " << f.ratio_median
            << ", \"p99\": " << f.ratio_p99 << "},\n";
        out << "      \"startup_ms\": " << r.startup_ms << ",\n";
        out << "      \"startup_parts_ms\": {\"window\": " << r.window_ms
            << ", \"engine\": " << r.init_ms << ", \"game_setup\": " << r.setup_ms
            << ", \"first_frame\": " << r.first_frame_ms << "},\n";
        out << "      \"peak_rss_mib\": " << mib(r.peak_rss_kib) << ",\n";
        out << "      \"rss_mib\": {\"window\": " << mib(r.rss_window_kib)
            << ", \"engine\": " << mib(r.rss_engine_kib)
            << ", \"game_setup\": " << mib(r.rss_setup_kib)
            << ", \"first_frame\": " << mib(r.rss_first_frame_kib)
            << ", \"last_frame\": " << mib(r.rss_end_kib) << "},\n";
        out << "      \"floor_skipped_draws\": " << r.skipped_draws << ",\n";
        out << "      \"allocating_frames\": {\"texts_rebuilt\": " << f.allocating_texts
            << ", \"pickup_eaten\": " << f.allocating_eaten
            << ", \"game_started\": " << f.allocating_start
            << ", \"game_over\": " << f.allocating_over << ", \"driver\": " << f.driver_allocating
            << ", \"other\": [";
        for (size_t i = 0; i < f.allocating_other.size(); ++i) {
            const size_t index = f.allocating_other[i];
            out << (i ? ", " : "") << "{\"frame\": " << index
                << ", \"allocations\": " << r.frames[index].allocations << "}";
        }
        out << "]}\n";
        out << "    }" << (k + 1 < runs.size() ? "," : "") << "\n";
    }
    out << "  ]\n}\n";
    std::ofstream file(path);
    file << out.str();
    return static_cast<bool>(file);
}

bool report::write_plot(const std::string& path) const {
    constexpr int panel_width = 1000;
    constexpr int panel_height = 300;
    constexpr int left = 48;
    constexpr int top = 30;
    constexpr int chart_width = panel_width - left - 12;
    constexpr int chart_height = panel_height - top - 16;
    const glm::vec4 background(1.0f);
    const glm::vec4 grid(0.88f, 0.88f, 0.88f, 1.0f);
    const glm::vec4 ink(0.25f, 0.25f, 0.25f, 1.0f);
    const glm::vec4 game_colour(0.9f, 0.43f, 0.08f, 1.0f);
    const glm::vec4 floor_colour(0.16f, 0.35f, 0.78f, 1.0f);
    const glm::vec4 target_colour(0.8f, 0.12f, 0.12f, 1.0f);

    // One scale for every panel, so that the sizes compare at a glance, with the target
    // line below the top.
    double top_ms = limits.whole_p99_ms * 1.25;
    for (const figures& f : computed) {
        top_ms = std::max(top_ms, f.whole.p99 * 1.25);
    }
    const double step_ms = top_ms > 40.0 ? 10.0 : top_ms > 16.0 ? 4.0 : 2.0;
    top_ms = std::ceil(top_ms / step_ms) * step_ms;

    canvas picture(panel_width, panel_height * static_cast<int>(std::max<size_t>(runs.size(), 1)));
    picture.fill_rect(0, 0, picture.width(), picture.height(), background);
    for (size_t k = 0; k < runs.size(); ++k) {
        const bench_run::result& r = runs[k];
        const int y0 = static_cast<int>(k) * panel_height + top;
        const auto y_of = [&](double ms) {
            const double clamped = std::clamp(ms / top_ms, 0.0, 1.0);
            return y0 + chart_height - static_cast<int>(std::lround(clamped * chart_height));
        };
        for (double ms = 0.0; ms <= top_ms + 1e-9; ms += step_ms) {
            const int y = y_of(ms);
            picture.line(left, y, left + chart_width, y, grid);
            char label[16];
            std::snprintf(label, sizeof label, "%g", ms);
            picture.text(label, left - 6 - canvas::text_width(label, 1), y - 3, 1, 1, ink);
        }
        picture.line(left, y_of(limits.whole_p99_ms), left + chart_width, y_of(limits.whole_p99_ms),
                     target_colour, 6);

        // The heading doubles as the legend.
        char heading[64];
        std::snprintf(heading, sizeof heading, "%d X %d, MS PER FRAME:", r.width, r.height);
        int x = left;
        picture.text(heading, x, y0 - 20, 2, 2, ink);
        x += canvas::text_width(heading, 2) + 16;
        picture.text("GAME", x, y0 - 20, 2, 2, game_colour);
        x += canvas::text_width("GAME", 2) + 16;
        picture.text("FLOOR", x, y0 - 20, 2, 2, floor_colour);
        x += canvas::text_width("FLOOR", 2) + 16;
        picture.text("TARGET", x, y0 - 20, 2, 2, target_colour);

        // Each pixel column shows the slowest frame that falls in it.
        const size_t n = r.frames.size();
        const auto trace = [&](double bench_run::frame::*field, const glm::vec4& c) {
            int last_y = -1;
            for (int column = 0; column < chart_width && n > 0; ++column) {
                const size_t from = n * static_cast<size_t>(column) / chart_width;
                const size_t to =
                    std::max(from + 1, n * static_cast<size_t>(column + 1) / chart_width);
                double worst = 0.0;
                for (size_t i = from; i < to && i < n; ++i) {
                    worst = std::max(worst, r.frames[i].*field);
                }
                const int y = y_of(worst);
                picture.line(left + column, last_y < 0 ? y : last_y, left + column, y, c);
                last_y = y;
            }
        };
        trace(&bench_run::frame::floor_ms, floor_colour);
        trace(&bench_run::frame::whole_ms, game_colour);
        picture.line(left, y0, left, y0 + chart_height, ink);
        picture.line(left, y0 + chart_height, left + chart_width, y0 + chart_height, ink);
    }
    return picture.save(path) == 0;
}

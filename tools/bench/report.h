#pragma once

#include "bench/bench_run.h"
#include "bench/stats.h"

#include <cstdio>
#include <string>
#include <vector>

// The figures of finished runs: Markdown tables on the terminal, the same numbers as
// JSON, a chart of every frame's time at each window size and one of frame time
// against snake length, as PNGs.
class report {
public:
    // Where the runs ran, and how busy it was before and after.
    struct machine {
        std::string cpu;
        unsigned cores = 0;
        std::string load_before;
        std::string load_after;
    };

    // The limits the runs are held to; they are reported, never enforced. Those of the
    // scripted games apply at the first size, those of growth at 800 x 480.
    struct targets {
        double whole_p99_ms = 8.0;
        double floor_ratio = 1.3;
        double startup_ms = 300.0;
        double peak_mib = 64.0;
        double own_mib = 24.0;           // peak minus the context that has drawn once
        double period_ms = 32.0;         // the piled snake's 99th percentile stays under it
        double longest_update_ms = 0.5;  // the world update of the longest snake, at the median
        double paused_cpu_percent = 2.0; // of one core, the paused game in the real frame loop
    };

    // What one run comes to.
    struct figures {
        stats::summary update;
        stats::summary draw;
        stats::summary whole;
        stats::summary floor_draw;
        stats::summary floor;
        stats::summary draws;
        stats::summary switches;
        double ratio_median = 0.0; // the game's whole frame over the floor's, at the median
        double ratio_p99 = 0.0;    // and at the 99th percentile
        unsigned play = 0;
        unsigned title = 0;
        unsigned paused = 0;
        unsigned dying = 0;
        // Frames that allocated, by the first event of the frame that explains it.
        unsigned allocating_texts = 0;        // score texts rebuilt (allowed)
        unsigned allocating_eaten = 0;        // a pickup eaten and a new one made
        unsigned allocating_start = 0;        // a game started
        unsigned allocating_over = 0;         // game over, high score saved
        std::vector<size_t> allocating_other; // indices of frames with none of those events
        unsigned driver_allocating = 0;       // frames in which the GL driver allocated
    };

    report(std::vector<bench_run::result> runs, machine where);

    static figures figure(const bench_run::result& r);
    // The processor, its cores and the load average now (as load_before).
    static machine describe_machine();
    // The first line of /proc/loadavg.
    static std::string load_average();

    const std::vector<bench_run::result>& get_runs() const { return runs; }
    const std::vector<figures>& get_figures() const { return computed; }

    void print(std::FILE* out) const;
    bool write_json(const std::string& path) const;
    // Every frame of each scripted run: the game's and the floor's, with the target.
    bool write_plot(const std::string& path) const;
    // Frame time against snake length: median and 99th percentile of the game, the
    // floor's median, the piled runs apart, the period and the target.
    bool write_growth_plot(const std::string& path) const;

private:
    // Indices of the scripted runs, or of the growth runs (shortest first, piled last).
    std::vector<size_t> scripted() const;
    std::vector<size_t> grown() const;

    void print_scripted(std::FILE* out, size_t k) const;
    void print_allocations(std::FILE* out, size_t k) const;
    void print_targets(std::FILE* out, size_t k) const;
    void print_growth(std::FILE* out) const;
    void print_growth_targets(std::FILE* out) const;

    std::vector<bench_run::result> runs;
    std::vector<figures> computed;
    machine where;
    targets limits;
};

#pragma once

#include "bench/bench_run.h"
#include "bench/stats.h"

#include <cstdio>
#include <string>
#include <vector>

// The figures of finished runs: a Markdown table on the terminal, the same numbers as
// JSON, and a chart of every frame's time as a PNG.
class report {
public:
    // Where the runs ran, and how busy it was before and after.
    struct machine {
        std::string cpu;
        unsigned cores = 0;
        std::string load_before;
        std::string load_after;
    };

    // The limits a run at the first size is held to; they are reported, never enforced.
    struct targets {
        double whole_p99_ms = 8.0;
        double floor_ratio = 1.3;
        double startup_ms = 300.0;
        double peak_mib = 64.0;
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
    bool write_plot(const std::string& path) const;

private:
    std::vector<bench_run::result> runs;
    std::vector<figures> computed;
    machine where;
    targets limits;
};

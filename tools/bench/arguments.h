#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The benchmark's command line. The defaults are the full benchmark; `out` and `stage`
// are filled in by the program, which knows its build.
class arguments {
public:
    int frames = 2000; // scripted frames at each size
    std::vector<std::pair<int, int>> sizes{{800, 480}, {320, 240}};
    int growth_frames = 300; // timed frames at each snake length
    std::vector<int> lengths{10, 100, 250, 500, 1000, 2000};
    std::vector<int> piled{2000};
    std::string out;
    std::string stage;
    unsigned seed = 1;
    int paused_seconds = 10; // the real frame loop paused at the first size; 0 leaves it out
    // Each state of the real frame loop with and without smooth motion, at 800x480 and
    // 1920x1080, for this long; 0 leaves it out.
    int smooth_seconds = 3;

    // Set only in the processes the benchmark makes for itself: one run at one size,
    // a grown snake when `grow` > 0.
    bool child = false;
    int grow = 0;
    bool pile = false;
    std::string result;
    long long spawned_at = 0;
    bool loop_only = false; // a run of the real frame loop only, for smooth_seconds each

    // Reads the command line into `a`. Returns nothing when the benchmark should run;
    // else the exit status: 0 after --help printed the usage on `out`, 2 after a message
    // about a bad argument on `err`.
    static std::optional<int> parse(int argc, char** argv, arguments& a, std::FILE* out,
                                    std::FILE* err);
};

// Frame-time benchmark: runs the real game headless through scripted games at each window
// size and with the snake grown to each length, every run in a process of its own, with
// a floor that issues the same draws through the least GL code, and reports the figures
// as tables, as JSON and as charts. `bench --help` lists the options.
#include "bench/arguments.h"
#include "bench/bench_run.h"
#include "bench/report.h"

#include <cstdio>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The run's own arguments for a fresh process of this same program.
std::vector<std::string> child_arguments(const arguments& a, const bench_run::options& o,
                                         const std::string& result) {
    std::vector<std::string> args = {"bench",
                                     "--child",
                                     std::to_string(o.width) + "x" + std::to_string(o.height),
                                     "--frames",
                                     std::to_string(o.frames),
                                     "--seed",
                                     std::to_string(a.seed),
                                     "--stage",
                                     a.stage,
                                     "--result",
                                     result,
                                     "--spawned-at",
                                     std::to_string(bench_run::now_ns()),
                                     "--paused-seconds",
                                     std::to_string(o.paused_seconds)};
    if (o.length > 0) {
        args.insert(args.end(), {"--grow", std::to_string(o.length)});
    }
    if (o.piled) {
        args.emplace_back("--pile");
    }
    if (o.loop_seconds > 0) {
        args.insert(args.end(),
                    {"--loop-only", "--smooth-seconds", std::to_string(o.loop_seconds)});
    }
    return args;
}

// Runs one benchmark run in a fresh process and reads back what it measured.
bool spawn_run(const arguments& a, const bench_run::options& o, const std::string& name,
               std::vector<bench_run::result>& runs) {
    std::printf("bench: %s...\n", name.c_str());
    std::fflush(stdout);
    const std::string result = (fs::path(a.out) / "run.json").string();
    std::vector<std::string> args = child_arguments(a, o, result);
    std::vector<char*> argv;
    for (std::string& s : args) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("bench: the run (%s) failed\n", name.c_str());
        return false;
    }
    runs.emplace_back();
    if (!bench_run::read(result, runs.back())) {
        std::printf("bench: cannot read %s\n", result.c_str());
        return false;
    }
    fs::remove(result);
    return true;
}

bool run_all(const arguments& a, std::vector<bench_run::result>& runs) {
    bench_run::options o;
    o.seed = a.seed;
    for (const auto& [width, height] : a.sizes) {
        o.width = width;
        o.height = height;
        o.frames = a.frames;
        o.paused_seconds = width == a.sizes.front().first && height == a.sizes.front().second
                               ? a.paused_seconds
                               : 0;
        if (!spawn_run(a, o,
                       std::to_string(a.frames) + " scripted frames at " + std::to_string(width) +
                           " x " + std::to_string(height),
                       runs)) {
            return false;
        }
    }
    o.width = 800;
    o.height = 480;
    o.frames = a.growth_frames;
    o.paused_seconds = 0;
    for (const bool piled : {false, true}) {
        for (const int length : piled ? a.piled : a.lengths) {
            o.length = length;
            o.piled = piled;
            if (!spawn_run(a, o, std::to_string(length) + (piled ? " piled" : "") + " blocks",
                           runs)) {
                return false;
            }
        }
    }
    return true;
}

// The real frame loop in each state, with and without smooth motion, at a handheld's and a
// desktop's size.
bool run_loops(const arguments& a, std::vector<bench_run::result>& loops) {
    bench_run::options o;
    o.seed = a.seed;
    o.frames = a.frames;
    o.loop_seconds = a.smooth_seconds;
    for (const auto& [width, height] : {std::pair{800, 480}, std::pair{1920, 1080}}) {
        o.width = width;
        o.height = height;
        if (!spawn_run(a, o,
                       "the real frame loop at " + std::to_string(width) + " x " +
                           std::to_string(height),
                       loops)) {
            return false;
        }
    }
    return true;
}

void print_loops(const std::vector<bench_run::result>& loops, int seconds) {
    std::printf("\nThe real frame loop, %d s in each state: frames drawn per second and the "
                "processor time in %% of one core\n\n| | smooth motion |",
                seconds);
    for (const bench_run::result& r : loops) {
        std::printf(" %d x %d fps | %% core |", r.width, r.height);
    }
    std::printf("\n|---|---|");
    for (size_t i = 0; i < loops.size(); ++i) {
        std::printf("---:|---:|");
    }
    for (size_t i = 0; !loops.empty() && i < loops.front().loop.size(); ++i) {
        const bench_run::loop_figure& first = loops.front().loop[i];
        std::printf("\n| %s | %s |", first.state.c_str(), first.smooth ? "on" : "off");
        for (const bench_run::result& r : loops) {
            std::printf(" %.1f | %.1f |", r.loop[i].frames_per_second, r.loop[i].cpu_percent);
        }
    }
    std::printf("\n");
}

int run_child(const arguments& a, std::int64_t main_entered) {
    bench_run::options o;
    o.width = a.sizes.front().first;
    o.height = a.sizes.front().second;
    o.frames = a.frames;
    o.seed = a.seed;
    o.length = a.grow;
    o.piled = a.pile;
    o.stage_dir = a.stage;
    o.spawned_at = a.spawned_at;
    o.paused_seconds = a.paused_seconds;
    o.loop_seconds = a.loop_only ? a.smooth_seconds : 0;
    o.main_entered = main_entered;
    return bench_run::write(bench_run::run(o), a.result) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::int64_t main_entered = bench_run::now_ns();
    arguments a;
    a.out = ARDLOW_BUILD_DIR "/bench";
    a.stage = ARDLOW_STAGE_DIR;
    if (const auto status = arguments::parse(argc, argv, a, stdout, stderr)) {
        return *status;
    }
    if (a.child) {
        return run_child(a, main_entered);
    }

    std::error_code error;
    fs::create_directories(a.out, error);
    report::machine where = report::describe_machine();
    std::vector<bench_run::result> runs;
    std::vector<bench_run::result> loops;
    if (!run_all(a, runs) || (a.smooth_seconds > 0 && !run_loops(a, loops))) {
        return 1;
    }
    where.load_after = report::load_average();

    const report rep(std::move(runs), where);
    rep.print(stdout);
    if (!loops.empty()) {
        print_loops(loops, a.smooth_seconds);
    }
    const fs::path out(a.out);
    const bool sizes = !a.sizes.empty();
    const bool growth = !a.lengths.empty() || !a.piled.empty();
    if (!rep.write_json((out / "results.json").string()) ||
        (sizes && !rep.write_plot((out / "frame_times.png").string())) ||
        (growth && !rep.write_growth_plot((out / "growth.png").string())) ||
        (!loops.empty() && !bench_run::write_all(loops, (out / "smooth.json").string()))) {
        std::printf("bench: cannot write into %s\n", a.out.c_str());
        return 1;
    }
    std::printf("\nwrote results.json%s%s%s in %s\n", sizes ? ", frame_times.png" : "",
                growth ? ", growth.png" : "", loops.empty() ? "" : ", smooth.json", a.out.c_str());
    return 0;
}

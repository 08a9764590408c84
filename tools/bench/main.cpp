// Frame-time benchmark: runs the real game headless at each window size, each in a process
// of its own, with a floor that issues the same draws through the least GL code, and
// reports the figures as a table, as JSON and as a chart.
//
//   bench [--frames N] [--sizes 800x480,320x240] [--out DIR] [--stage DIR] [--seed N]
#include "bench/bench_run.h"
#include "bench/report.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct arguments {
    int frames = 2000;
    std::vector<std::pair<int, int>> sizes{{800, 480}, {320, 240}};
    std::string out = ARDLOW_BUILD_DIR "/bench";
    std::string stage = ARDLOW_STAGE_DIR;
    unsigned seed = 1;
    // Set only in the processes the benchmark makes for itself.
    bool child = false;
    std::string result;
    long long spawned_at = 0;
};

bool parse_size(const std::string& text, std::pair<int, int>& size) {
    return std::sscanf(text.c_str(), "%dx%d", &size.first, &size.second) == 2 && size.first > 0 &&
           size.second > 0;
}

bool parse(int argc, char** argv, arguments& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--frames") {
            a.frames = std::atoi(value.c_str());
            if (a.frames <= 0) {
                return false;
            }
        } else if (option == "--sizes") {
            a.sizes.clear();
            size_t begin = 0;
            while (begin <= value.size()) {
                const size_t end = std::min(value.find(',', begin), value.size());
                std::pair<int, int> size;
                if (!parse_size(value.substr(begin, end - begin), size)) {
                    return false;
                }
                a.sizes.push_back(size);
                begin = end + 1;
            }
        } else if (option == "--out") {
            a.out = value;
        } else if (option == "--stage") {
            a.stage = value;
        } else if (option == "--seed") {
            a.seed = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--child") {
            std::pair<int, int> size;
            if (!parse_size(value, size)) {
                return false;
            }
            a.child = true;
            a.sizes = {size};
        } else if (option == "--result") {
            a.result = value;
        } else if (option == "--spawned-at") {
            a.spawned_at = std::atoll(value.c_str());
        } else {
            return false;
        }
    }
    return true;
}

int run_child(const arguments& a, std::int64_t main_entered) {
    bench_run::options o;
    o.width = a.sizes.front().first;
    o.height = a.sizes.front().second;
    o.frames = a.frames;
    o.seed = a.seed;
    o.stage_dir = a.stage;
    o.spawned_at = a.spawned_at;
    o.main_entered = main_entered;
    const bench_run::result r = bench_run::run(o);
    return bench_run::write(r, a.result) ? 0 : 1;
}

// Runs one size in a fresh process of this same program and reads back what it measured.
bool spawn_run(const arguments& a, int width, int height, bench_run::result& r) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string result = (fs::path(a.out) / ("samples_" + size + ".txt")).string();
    const std::string frames = std::to_string(a.frames);
    const std::string seed = std::to_string(a.seed);
    const std::string spawned_at = std::to_string(bench_run::now_ns());
    std::vector<std::string> args = {"bench",  "--child",      size,      "--frames", frames,
                                     "--seed", seed,           "--stage", a.stage,    "--result",
                                     result,   "--spawned-at", spawned_at};
    std::vector<char*> argv;
    for (std::string& s : args) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) {
        std::printf("bench: cannot start a run\n");
        return false;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("bench: the %s run failed\n", size.c_str());
        return false;
    }
    if (!bench_run::read(result, r)) {
        std::printf("bench: cannot read %s\n", result.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::int64_t main_entered = bench_run::now_ns();
    arguments a;
    if (!parse(argc, argv, a)) {
        std::printf("usage: bench [--frames N] [--sizes WxH,WxH] [--out DIR] [--stage DIR] "
                    "[--seed N]\n");
        return 2;
    }
    if (a.child) {
        return run_child(a, main_entered);
    }

    std::error_code error;
    fs::create_directories(a.out, error);
    report::machine where = report::describe_machine();
    std::vector<bench_run::result> runs;
    for (const auto& [width, height] : a.sizes) {
        std::printf("bench: %d frames at %d x %d...\n", a.frames, width, height);
        std::fflush(stdout);
        bench_run::result r;
        if (!spawn_run(a, width, height, r)) {
            return 1;
        }
        runs.push_back(std::move(r));
    }
    where.load_after = report::load_average();

    const report rep(std::move(runs), where);
    rep.print(stdout);
    const std::string json = (fs::path(a.out) / "results.json").string();
    const std::string png = (fs::path(a.out) / "frame_times.png").string();
    if (!rep.write_json(json) || !rep.write_plot(png)) {
        std::printf("bench: cannot write into %s\n", a.out.c_str());
        return 1;
    }
    std::printf("\nwrote %s and %s\n", json.c_str(), png.c_str());
    return 0;
}

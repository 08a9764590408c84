#include "bench/arguments.h"

#include "bench/helix_pilot.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <getopt.h>

namespace {

const char* const usage =
    "usage: bench [options]\n"
    "Times the real game headless against a floor of the least GL code that draws the same,\n"
    "each run in a process of its own; prints the tables and writes results.json,\n"
    "frame_times.png and growth.png.\n"
    "\n"
    "  --frames N          scripted frames at each window size (2000)\n"
    "  --sizes WxH,...     window sizes of the scripted games (800x480,320x240)\n"
    "  --lengths N,...     snake lengths of the growth runs at 800x480\n"
    "                      (10,100,250,500,1000,2000)\n"
    "  --piled N,...       lengths whose new blocks all lie on the tail at once (2000)\n"
    "  --growth-frames N   timed frames at each length (300)\n"
    "  --seed N            the random seed (1)\n"
    "  --paused-seconds N  how long the paused game's processor use is measured, at the\n"
    "                      first size (10; 0 leaves it out)\n"
    "  --smooth-seconds N  how long the real frame loop is measured in each state, with\n"
    "                      and without smooth motion, at 800x480 and 1920x1080 (3; 0\n"
    "                      leaves it out)\n"
    "  --out DIR           where the results go\n"
    "  --stage DIR         the game's data\n"
    "  --help              this text\n"
    "An empty list (--sizes= or --lengths= --piled=) leaves those runs out.\n";

enum option_id {
    frames_option = 256,
    sizes_option,
    lengths_option,
    piled_option,
    growth_frames_option,
    seed_option,
    paused_seconds_option,
    smooth_seconds_option,
    out_option,
    stage_option,
    help_option,
    child_option,
    grow_option,
    pile_option,
    result_option,
    spawned_at_option,
    loop_only_option,
};

const option options[] = {
    {"frames", required_argument, nullptr, frames_option},
    {"sizes", required_argument, nullptr, sizes_option},
    {"lengths", required_argument, nullptr, lengths_option},
    {"piled", required_argument, nullptr, piled_option},
    {"growth-frames", required_argument, nullptr, growth_frames_option},
    {"seed", required_argument, nullptr, seed_option},
    {"paused-seconds", required_argument, nullptr, paused_seconds_option},
    {"smooth-seconds", required_argument, nullptr, smooth_seconds_option},
    {"out", required_argument, nullptr, out_option},
    {"stage", required_argument, nullptr, stage_option},
    {"help", no_argument, nullptr, help_option},
    // Between the benchmark and the processes it starts.
    {"child", required_argument, nullptr, child_option},
    {"grow", required_argument, nullptr, grow_option},
    {"pile", no_argument, nullptr, pile_option},
    {"result", required_argument, nullptr, result_option},
    {"spawned-at", required_argument, nullptr, spawned_at_option},
    {"loop-only", no_argument, nullptr, loop_only_option},
    {nullptr, 0, nullptr, 0},
};

// The whole text must be a decimal number within [lo, hi]; no sign, no spaces.
bool whole_number(const std::string& text, long long lo, long long hi, long long& value) {
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value >= lo && value <= hi;
}

bool size_of(const std::string& text, std::pair<int, int>& size) {
    const size_t x = text.find('x');
    long long w = 0;
    long long h = 0;
    if (x == std::string::npos || !whole_number(text.substr(0, x), 16, 8192, w) ||
        !whole_number(text.substr(x + 1), 16, 8192, h)) {
        return false;
    }
    size = {static_cast<int>(w), static_cast<int>(h)};
    return true;
}

// Splits a comma-separated list, each item read by `item`; an empty text is an empty list.
template <class T, class Read>
bool list_of(const std::string& text, std::vector<T>& items, Read item) {
    items.clear();
    for (size_t begin = 0; !text.empty() && begin <= text.size();) {
        const size_t end = std::min(text.find(',', begin), text.size());
        T value{};
        if (!item(text.substr(begin, end - begin), value)) {
            return false;
        }
        items.push_back(value);
        begin = end + 1;
    }
    return true;
}

bool length_of(const std::string& text, int& length) {
    long long n = 0;
    if (!whole_number(text, helix_pilot::shortest, helix_pilot::longest, n)) {
        return false;
    }
    length = static_cast<int>(n);
    return true;
}

// Reads one option's value; false when it is malformed, with the message on `err`.
bool take(int id, const std::string& value, arguments& a, std::FILE* err) {
    long long n = 0;
    const auto bad = [err](const char* name, const char* wants, const std::string& text) {
        std::fprintf(err, "bench: --%s wants %s, not \"%s\"\n", name, wants, text.c_str());
        return false;
    };
    switch (id) {
    case frames_option:
    case growth_frames_option:
        if (!whole_number(value, 1, 1000000, n)) {
            return bad(id == frames_option ? "frames" : "growth-frames",
                       "a whole number from 1 to 1000000", value);
        }
        (id == frames_option ? a.frames : a.growth_frames) = static_cast<int>(n);
        return true;
    case sizes_option:
        return list_of(value, a.sizes, size_of) ||
               bad("sizes", "sizes from 16x16 to 8192x8192 such as 800x480, separated by commas",
                   value);
    case lengths_option:
    case piled_option:
        return list_of(value, id == lengths_option ? a.lengths : a.piled, length_of) ||
               bad(id == lengths_option ? "lengths" : "piled",
                   "snake lengths from 10 to 2000 blocks, separated by commas", value);
    case seed_option:
        if (!whole_number(value, 0, UINT_MAX, n)) {
            return bad("seed", "a whole number from 0 to 4294967295", value);
        }
        a.seed = static_cast<unsigned>(n);
        return true;
    case paused_seconds_option:
        if (!whole_number(value, 0, 600, n)) {
            return bad("paused-seconds", "a whole number from 0 to 600", value);
        }
        a.paused_seconds = static_cast<int>(n);
        return true;
    case smooth_seconds_option:
        if (!whole_number(value, 0, 600, n)) {
            return bad("smooth-seconds", "a whole number from 0 to 600", value);
        }
        a.smooth_seconds = static_cast<int>(n);
        return true;
    case out_option:
        a.out = value;
        return true;
    case stage_option:
        a.stage = value;
        return true;
    case child_option:
        a.child = true;
        a.sizes.resize(1);
        return size_of(value, a.sizes.front()) || bad("child", "a size", value);
    case grow_option:
        return length_of(value, a.grow) || bad("grow", "a snake length", value);
    case pile_option:
        a.pile = true;
        return true;
    case loop_only_option:
        a.loop_only = true;
        return true;
    case result_option:
        a.result = value;
        return true;
    case spawned_at_option:
        return whole_number(value, 0, LLONG_MAX, a.spawned_at) ||
               bad("spawned-at", "a steady-clock time", value);
    default:
        return false;
    }
}

} // namespace

std::optional<int> arguments::parse(int argc, char** argv, arguments& a, std::FILE* out,
                                    std::FILE* err) {
    optind = 0; // a fresh scan, also when called again
    opterr = 0;
    for (;;) {
        const int id = getopt_long(argc, argv, "", options, nullptr);
        if (id == -1) {
            break;
        }
        if (id == help_option) {
            std::fputs(usage, out);
            return 0;
        }
        if (id == '?' || id == ':') {
            std::fprintf(err, "bench: unknown option or missing value: %s\n", argv[optind - 1]);
            std::fputs("try bench --help\n", err);
            return 2;
        }
        if (!take(id, optarg != nullptr ? optarg : "", a, err)) {
            return 2;
        }
    }
    if (optind < argc) {
        std::fprintf(err, "bench: unexpected argument \"%s\"\ntry bench --help\n", argv[optind]);
        return 2;
    }
    for (const bool piled : {false, true}) {
        for (const int length : piled ? a.piled : a.lengths) {
            if (!helix_pilot::fits(length, piled, a.growth_frames)) {
                std::fprintf(err,
                             "bench: a snake of %d blocks flown for %d frames does not fit in "
                             "the cage; ask for fewer --growth-frames\n",
                             length, a.growth_frames);
                return 2;
            }
        }
    }
    return std::nullopt;
}

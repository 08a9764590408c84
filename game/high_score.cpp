#include "game/high_score.h"

#include "engine/io/file.h"
#include "engine/io/file_lock.h"
#include "engine/util/util.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <system_error>

using tulk::io::file;

namespace {

// What the saving thread and the main thread both learn of the files. Never destroyed: a
// save given up on at a quit may still end while the process exits.
struct memory {
    std::mutex mutex;
    // Game over comes again and again; one complaint per run is enough.
    bool warned = false;
    // Files that exist but could not be read: they may hold a better score than ours.
    std::set<std::string> kept;
};

memory& known() {
    static memory* const m = new memory;
    return *m;
}

bool is_kept(const std::string& path) {
    const std::lock_guard hold(known().mutex);
    return known().kept.count(path) != 0;
}

void keep(const std::string& path, int error) {
    const std::lock_guard hold(known().mutex);
    if (known().kept.insert(path).second) {
        std::printf("high score file %s not read (%s), so it is left as it is\n", path.c_str(),
                    error != 0 ? std::generic_category().message(error).c_str()
                               : "not a regular file");
        std::fflush(stdout);
    }
}

// The stored score; false when the file exists but cannot be read or is not a regular
// file, with errno's reason in `error` (0 for not regular). A missing file holds 0.
bool read_stored(const std::string& path, unsigned int& score, int& error) {
    score = 0;
    error = 0;
    file f(path, file::read, file::plain);
    if (!f.good()) {
        error = f.error();
        return error == ENOENT;
    }
    if (!f.regular()) {
        return false;
    }
    const std::string line = f.read_line();
    // strtoll saturates where a 32-bit strtol would, just further out.
    const long long value = std::strtoll(line.c_str(), nullptr, 10);
    // A negative score would show as negative and could never be beaten.
    score = value < 0 ? 0 : static_cast<unsigned int>(std::min<long long>(value, INT32_MAX));
    return true;
}

} // namespace

void say_high_score_not_saved(const std::string& path, const std::string& why) {
    const std::lock_guard hold(known().mutex);
    if (!known().warned) {
        known().warned = true;
        std::printf("high score not saved to %s: %s\n", path.c_str(), why.c_str());
        std::fflush(stdout);
    }
}

bool high_score_file_holds(const std::string& path, unsigned int score) {
    file f(path, file::read, file::plain);
    return f.regular() && f.read_bytes(16) == tulk::util::itoa(static_cast<int>(score)) + "\n";
}

unsigned int read_high_score(const std::string& path) {
    unsigned int score = 0;
    int error = 0;
    if (path.empty()) {
        return 0;
    }
    if (!read_stored(path, score, error)) {
        keep(path, error);
    }
    return score;
}

void write_high_score(const std::string& path, unsigned int score,
                      const std::function<bool()>& keep_waiting) {
    if (path.empty() || is_kept(path)) {
        return;
    }
    const std::string target = file::final_target(path);
    // Another run saving at the same moment waits here; without a lock file (a read-only
    // folder) the save goes on unguarded. Tried without blocking when the caller may give
    // up, so that it can.
    const std::string lock_file = target + ".lock";
    const tulk::io::file_lock lock(lock_file, keep_waiting);
    if (lock.given_up()) {
        say_high_score_not_saved(path, "another run still holds " + lock_file);
        return;
    }
    unsigned int stored = 0;
    int error = 0;
    if (!read_stored(target, stored, error)) {
        keep(path, error);
    } else {
        // Above what the reader takes back, the line would read back as 0.
        const unsigned int best = std::min<unsigned int>(std::max(score, stored), INT32_MAX);
        error = file::replace(target, tulk::util::itoa(static_cast<int>(best)) + "\n");
        if (error != 0) {
            say_high_score_not_saved(path, std::generic_category().message(error));
        }
    }
}

#include "game/high_score.h"

#include "engine/io/file.h"
#include "engine/util/util.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <unistd.h>

using tulk::io::file;

namespace {

// Game over comes again and again; one complaint per run is enough.
bool warned = false;
// Files that exist but could not be read: they may hold a better score than ours.
std::set<std::string> kept;

void warn_not_saved(const std::string& path, const std::string& why) {
    if (!warned) {
        warned = true;
        std::printf("high score not saved to %s: %s\n", path.c_str(), why.c_str());
        std::fflush(stdout);
    }
}

void keep(const std::string& path, int error) {
    if (kept.insert(path).second) {
        std::printf("high score file %s not read (%s), so it is left as it is\n", path.c_str(),
                    error != 0 ? std::strerror(error) : "not a regular file");
        std::fflush(stdout);
    }
}

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself survive a power cut.
void sync_directory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// The file a symbolic link at `path` leads to in the end; `path` when it is no link.
std::string final_target(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        char next[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), next, sizeof next);
        if (length <= 0 || static_cast<size_t>(length) == sizeof next) {
            break;
        }
        const std::string to(next, static_cast<size_t>(length));
        path = to[0] == '/' ? to : directory_of(path) + "/" + to;
    }
    return path;
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

// 0 once `line` is safely in `target`, else an errno value saying why not.
int save(const std::string& target, const std::string& line) {
    // One fixed name: a save killed part way leaves this one file, which the next clears.
    const std::string temp = target + ".new";
    unlink(temp.c_str());
    file f(temp, file::write, file::plain);
    if (!f.good()) {
        // A read-only folder, or a file bound in on its own: rewrite the file itself.
        file in_place(target, file::read_update, file::plain);
        if (!in_place.regular()) {
            return f.error();
        }
        errno = 0;
        in_place.write_line(line);
        return in_place.cut_here() && in_place.sync() ? 0 : (errno != 0 ? errno : EIO);
    }
    errno = 0;
    f.write_line(line);
    int error = f.sync() ? 0 : (errno != 0 ? errno : EIO);
    if (error == 0 && std::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temp.c_str());
        return error;
    }
    sync_directory(directory_of(target));
    return 0;
}

} // namespace

unsigned int read_high_score(const std::string& path) {
    unsigned int score = 0;
    int error = 0;
    if (!read_stored(path, score, error)) {
        keep(path, error);
    }
    return score;
}

void write_high_score(const std::string& path, unsigned int score,
                      const std::function<bool()>& keep_waiting) {
    if (kept.count(path) != 0) {
        return;
    }
    const std::string target = final_target(path);
    // Another run saving at the same moment waits here; without a lock file (a read-only
    // folder) the save goes on unguarded. Tried without blocking when the caller may give
    // up, so that it can.
    const std::string lock_file = target + ".lock";
    const int lock = open(lock_file.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    const int how = keep_waiting ? LOCK_EX | LOCK_NB : LOCK_EX;
    while (lock >= 0 && flock(lock, how) != 0 && (errno == EINTR || errno == EWOULDBLOCK)) {
        if (errno == EWOULDBLOCK && !keep_waiting()) {
            close(lock);
            warn_not_saved(path, "another run still holds " + lock_file);
            return;
        }
    }
    unsigned int stored = 0;
    int error = 0;
    if (!read_stored(target, stored, error)) {
        keep(path, error);
    } else if ((error = save(target,
                             tulk::util::itoa(static_cast<int>(std::max(score, stored))))) != 0) {
        warn_not_saved(path, std::strerror(error));
    }
    if (lock >= 0) {
        close(lock);
    }
}

#include "game/high_score.h"

#include "engine/io/file.h"
#include "engine/util/util.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Game over comes again and again; one complaint per run is enough.
bool warned = false;

void warn_not_saved(const std::string& path, int error) {
    if (!warned) {
        warned = true;
        std::printf("high score not saved to %s: %s\n", path.c_str(), std::strerror(error));
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
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

} // namespace

unsigned int read_high_score(const std::string& path) {
    tulk::io::file f(path, tulk::io::file::read, tulk::io::file::plain);
    if (!f.good()) {
        return 0;
    }
    const std::string line = f.read_line();
    // strtoll saturates where a 32-bit strtol would, just further out.
    const long long value = std::strtoll(line.c_str(), nullptr, 10);
    // A negative score would show as negative and could never be beaten.
    if (value < 0) {
        return 0;
    }
    return value > INT32_MAX ? INT32_MAX : static_cast<unsigned int>(value);
}

void write_high_score(const std::string& path, unsigned int score) {
    // Write beside the file and rename over it, so the old score stays until the new one
    // is safely on disk.
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        warn_not_saved(path, errno);
        return;
    }
    // mkstemp makes the file private; give it the permissions a plain create would.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);

    bool written = false;
    int error = EIO;
    errno = 0;
    {
        tulk::io::file f(temp, tulk::io::file::write, tulk::io::file::plain);
        f.write_line(tulk::util::itoa(static_cast<int>(score)));
        written = f.sync();
        if (!written && errno != 0) {
            error = errno;
        }
    }
    if (written && std::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        std::remove(temp.c_str());
        warn_not_saved(path, error);
        return;
    }
    sync_directory(directory_of(path));
}

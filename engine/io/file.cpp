#include "engine/io/file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tulk::io {

namespace {

struct mode_pair {
    const char* stdio;
    int flags;
};

mode_pair access_mode(file::access mode) {
    switch (mode) {
    case file::read:
        return {"r", O_RDONLY};
    case file::write:
        return {"w", O_WRONLY | O_CREAT | O_TRUNC};
    case file::append:
        return {"a", O_WRONLY | O_CREAT | O_APPEND};
    case file::read_update:
        return {"r+", O_RDWR};
    case file::write_update:
        return {"w+", O_RDWR | O_CREAT | O_TRUNC};
    case file::append_update:
        return {"a+", O_RDWR | O_CREAT | O_APPEND};
    }
    return {"", -1};
}

} // namespace

file::file(const std::string& path, access mode, type kind) {
    const mode_pair m = access_mode(mode);
    if (m.flags == -1) {
        open_error = EINVAL;
        return;
    }
    // Without O_NONBLOCK a FIFO in place of a data file would hold the caller for ever.
    const int fd = ::open(path.c_str(), m.flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        open_error = errno;
        return;
    }
    handle = fdopen(fd, (std::string(m.stdio) + (kind != plain ? "b" : "")).c_str());
    if (handle == nullptr) {
        open_error = errno;
        close(fd);
    }
}

file::~file() {
    if (handle != nullptr) {
        std::fclose(handle);
    }
}

bool file::regular() const {
    struct stat st {};
    return handle != nullptr && fstat(fileno(handle), &st) == 0 && S_ISREG(st.st_mode);
}

std::string file::read_line() {
    if (handle == nullptr || std::fgets(line, sizeof line, handle) == nullptr) {
        return {};
    }
    return line;
}

std::string file::read_file() {
    std::string text;
    if (handle == nullptr) {
        return text;
    }
    for (size_t got; (got = std::fread(line, 1, sizeof line, handle)) > 0;) {
        text.append(line, got);
    }
    return text;
}

std::string file::read_bytes(size_t count) {
    std::string text(count, '\0');
    const size_t got = handle != nullptr ? std::fread(text.data(), 1, count, handle) : 0;
    text.resize(got);
    return text;
}

void file::write_line(const std::string& s) {
    if (handle != nullptr) {
        std::fputs(s.c_str(), handle);
        std::fputs("\n", handle);
    }
}

void file::write_str(const std::string& s) {
    if (handle != nullptr) {
        std::fputs(s.c_str(), handle);
    }
}

bool file::sync() {
    if (handle == nullptr) {
        return false;
    }
    const bool flushed = std::fflush(handle) == 0 && std::ferror(handle) == 0;
    return flushed && fsync(fileno(handle)) == 0;
}

bool file::cut_here() {
    if (handle == nullptr || std::fflush(handle) != 0) {
        return false;
    }
    const long at = std::ftell(handle);
    return at >= 0 && ftruncate(fileno(handle), at) == 0;
}

} // namespace tulk::io

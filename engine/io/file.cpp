#include "engine/io/file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tulk::io {

namespace {

struct mode_pair {
    const char* stdio;
    int flags;
};

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename itself survive a power cut.
void sync_directory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

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
        // Every byte, zero bytes too: binary files go through here.
        std::fwrite(s.data(), 1, s.size(), handle);
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

std::string file::final_target(std::string path) {
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

int file::replace(const std::string& path, const std::string& contents, fallback how) {
    // One fixed name: a write killed part way leaves this one file, which the next clears.
    const std::string temp = path + ".new";
    unlink(temp.c_str());
    file f(temp, write, plain);
    if (!f.good()) {
        if (how == new_file_only || !file(path, read, plain).regular()) {
            return f.error();
        }
        return rewrite_in_place(path, contents);
    }
    // A file the player made read-only stays read-only.
    struct stat old {};
    if (stat(path.c_str(), &old) == 0) {
        fchmod(fileno(f.handle), old.st_mode & 07777);
    }
    errno = 0;
    f.write_str(contents);
    int error = f.sync() ? 0 : (errno != 0 ? errno : EIO);
    if (error == 0 && std::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temp.c_str());
        return error;
    }
    sync_directory(directory_of(path));
    return 0;
}

int file::rewrite_in_place(const std::string& path, const std::string& contents) {
    file in_place(path, read_update, plain);
    if (!in_place.good()) {
        return in_place.error();
    }
    const std::string before = in_place.read_file();
    const auto write_all = [&in_place](const std::string& text) {
        errno = 0;
        std::rewind(in_place.handle);
        in_place.write_str(text);
        return in_place.cut_here() && in_place.sync() ? 0 : (errno != 0 ? errno : EIO);
    };
    const int error = write_all(contents);
    if (error != 0) {
        std::clearerr(in_place.handle);
        write_all(before);
    }
    return error;
}

} // namespace tulk::io

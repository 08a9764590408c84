#include "engine/io/file.h"

#include <unistd.h>

namespace tulk::io {

namespace {

const char* access_mode(file::access mode) {
    switch (mode) {
    case file::read:
        return "r";
    case file::write:
        return "w";
    case file::append:
        return "a";
    case file::read_update:
        return "r+";
    case file::write_update:
        return "w+";
    case file::append_update:
        return "a+";
    }
    // An unknown access gives an empty mode, which fopen refuses.
    return "";
}

} // namespace

file::file(const std::string& path, access mode, type kind) {
    std::string m = access_mode(mode);
    if (kind != plain) {
        m += "b";
    }
    handle = std::fopen(path.c_str(), m.c_str());
}

file::~file() {
    if (handle != nullptr) {
        std::fclose(handle);
    }
}

std::string file::read_line() {
    if (handle == nullptr || std::fgets(line, sizeof line, handle) == nullptr) {
        return {};
    }
    return line;
}

std::string file::read_file() {
    std::string text;
    for (std::string piece = read_line(); !piece.empty(); piece = read_line()) {
        text += piece;
    }
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

} // namespace tulk::io

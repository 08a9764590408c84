#pragma once

#include <cstdio>
#include <string>

namespace tulk::io {

// A stdio stream opened once at construction and closed by the destructor. Reads and
// writes go line by line; on a file that failed to open they read nothing and write
// nothing. Opening never waits: a FIFO or device opens (or fails) at once, and
// `regular` tells a caller that wants only plain files.
class file {
public:
    enum access {
        read = 0,          // "r"
        write = 1,         // "w"
        append = 2,        // "a"
        read_update = 3,   // "r+"
        write_update = 4,  // "w+"
        append_update = 5, // "a+"
    };
    // Anything but plain opens in binary mode.
    enum type {
        plain = 0,
        binary = 1,
    };

    file(const std::string& path, access mode, type kind);
    ~file();

    file(const file&) = delete;
    file& operator=(const file&) = delete;

    bool good() const { return handle != nullptr; }
    // Why opening failed (an errno value); 0 when it did not.
    int error() const { return open_error; }
    // Whether the open file is a regular file, not a FIFO, device or directory.
    bool regular() const;

    // One line including its line feed, or up to 9999 characters of a longer line;
    // empty at the end of the file, on a read error or when the file is not good.
    std::string read_line();
    // Every byte from the current position to the end of the file.
    std::string read_file();
    // Up to `count` bytes from the current position; fewer at the end of the file.
    std::string read_bytes(size_t count);

    void write_line(const std::string& s);
    // Every byte of `s`, zero bytes included.
    void write_str(const std::string& s);

    // Pushes everything written so far to the disk. False when the file is not good,
    // when any earlier write failed, or when the flush or the sync fails: the only way
    // to learn whether the writes arrived.
    bool sync();
    // Ends the file at the current position, dropping anything an earlier, longer
    // content left after it. False on failure or when the file is not good.
    bool cut_here();

    // The file a symbolic link at `path` leads to in the end; `path` when it is no link.
    static std::string final_target(std::string path);

    // How replace() may go when no file can be made beside the old one.
    enum fallback {
        // Rewritten in place; a write that fails part way is undone as far as it can be.
        in_place,
        // Not at all: only a whole new file ever takes the old one's place.
        new_file_only,
    };

    // Replaces the file at `path` (no link) with `contents` so that a crash or a full disk
    // part way leaves the old file: written to "<path>.new" with the old file's mode,
    // synced, renamed over it, the folder synced. Where no file can be made beside it (a
    // read-only folder, a file bound in on its own) `how` decides. 0 once done, else an
    // errno value.
    static int replace(const std::string& path, const std::string& contents,
                       fallback how = in_place);

private:
    // The old contents are written back when the new ones fail part way.
    static int rewrite_in_place(const std::string& path, const std::string& contents);

    FILE* handle = nullptr;
    int open_error = 0;
    char line[10000];
};

} // namespace tulk::io

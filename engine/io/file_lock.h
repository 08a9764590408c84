#pragma once

#include <functional>
#include <string>

namespace tulk::io {

// An exclusive lock on a lock file (made when missing) for as long as this object lives, so
// that two processes never rewrite the same file at once. Where no lock file can be made (a
// read-only folder) it holds nothing and the caller goes on unguarded.
class file_lock {
public:
    // Waits as long as another process holds the lock; given `keep_waiting`, tries without
    // blocking and calls it between tries, giving up as soon as it returns false.
    explicit file_lock(const std::string& path,
                       const std::function<bool()>& keep_waiting = nullptr);
    ~file_lock();

    file_lock(const file_lock&) = delete;
    file_lock& operator=(const file_lock&) = delete;

    // Another process held the lock until keep_waiting gave up.
    bool given_up() const { return gave_up; }

private:
    int descriptor = -1;
    bool gave_up = false;
};

} // namespace tulk::io

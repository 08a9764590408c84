#include "engine/io/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tulk::io {

file_lock::file_lock(const std::string& path, const std::function<bool()>& keep_waiting) {
    descriptor = open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    const int how = keep_waiting ? LOCK_EX | LOCK_NB : LOCK_EX;
    while (descriptor >= 0 && flock(descriptor, how) != 0 &&
           (errno == EINTR || errno == EWOULDBLOCK)) {
        if (errno == EWOULDBLOCK && !keep_waiting()) {
            close(descriptor);
            descriptor = -1;
            gave_up = true;
        }
    }
}

file_lock::~file_lock() {
    if (descriptor >= 0) {
        close(descriptor);
    }
}

} // namespace tulk::io

#include "engine/util/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace tulk::util {

void fatal(int status, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
#if defined(__SANITIZE_ADDRESS__)
    // Look for leaks now, while everything the process holds is still reachable: exit
    // runs the static tables' destructors first, which would orphan what they point at.
    __lsan_do_leak_check();
#endif
    std::exit(status);
}

} // namespace tulk::util

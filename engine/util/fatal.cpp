#include "engine/util/fatal.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace tulk::util {

void fatal(int status, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
    std::exit(status);
}

} // namespace tulk::util

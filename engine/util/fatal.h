#pragma once

namespace tulk::util {

// Prints a printf-style message to standard output and ends the process with `status`.
// The one way the engine stops on an error it cannot recover from.
[[noreturn]] void fatal(int status, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace tulk::util

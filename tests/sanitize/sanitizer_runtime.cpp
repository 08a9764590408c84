// How the sanitizers behave in the sanitizer build's test programs, under CTest or by hand.

#include <fstream>
#include <iterator>
#include <sanitizer/lsan_interface.h>
#include <string>

namespace {

// A death test's child exits with what it built still allocated: not a leak.
const bool death_test_child = [] {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string args{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const bool child = args.find("--gtest_internal_run_death_test") != std::string::npos;
    if (child) {
        __lsan_disable();
    }
    return child;
}();

} // namespace

extern "C" {

// Stop at the first error of any kind, leaks included; ASAN_OPTIONS and the like override.
const char* __asan_default_options() {
    return "detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:"
           "check_initialization_order=1:strict_init_order=1";
}

const char* __lsan_default_options() {
    return "suppressions=" ARDLOW_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

// SDL and libglvnd unload libraries at the end, whose globals' memory would then look leaked.
int dlclose(void* handle) {
    (void)handle;
    return 0;
}

} // extern "C"

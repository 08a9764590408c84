// Linked into the test programs of the sanitizer build only: how the sanitizers behave
// there, whether a test runs under CTest or by hand.

#include <fstream>
#include <iterator>
#include <sanitizer/lsan_interface.h>
#include <string>

namespace {

// A death test's child ends the process through a fatal exit on purpose, with whatever it
// built still allocated: that is not a leak, so its allocations are not checked. Its other
// sanitizer errors still count.
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

// Stop at the first error of any kind, leaks included, and say where it happened.
// Variables such as ASAN_OPTIONS set in the environment still override these.
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

// SDL and libglvnd unload the GL driver, the audio back ends and their dependencies when
// the window closes. Whatever those libraries allocated and still point at from their own
// globals then looks leaked, with stacks in modules that no longer exist and so cannot be
// named or suppressed. Keeping every library loaded until the process ends leaves their
// memory reachable, so the leak check sees only what really has no owner.
int dlclose(void* handle) {
    (void)handle;
    return 0;
}

} // extern "C"

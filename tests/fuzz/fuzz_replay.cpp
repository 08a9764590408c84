// Any bytes given to the replay reader: a recording or one reason why not, never a crash,
// and whatever it takes for a recording is written back as the same recording.

#include "game/replay.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    const std::optional<replay> r = replay::decode(bytes, why);
    if (!r) {
        if (why.empty()) {
            std::fputs("refused with no reason\n", stderr);
            std::abort();
        }
        return 0;
    }
    std::uint64_t total = 0;
    for (const replay::run& each : r->runs) {
        total += each.count;
    }
    std::string again;
    const std::optional<replay> back = replay::decode(r->encode(), again);
    if (total != r->updates || r->checks.size() != r->updates / replay::check_interval || !back ||
        *back != *r) {
        std::fprintf(stderr, "taken, but not as written: %s\n", again.c_str());
        std::abort();
    }
    return 0;
}

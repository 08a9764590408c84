#include "bench/allocations.h"

#include <atomic>

namespace allocations {

namespace {
// Mesa's threads may allocate too, so the counts are atomic.
std::atomic<std::uint64_t> game_total{0};
std::atomic<std::uint64_t> driver_total{0};
std::atomic<bool> watch{false};
} // namespace

void note(origin o) {
    (o == origin::game ? game_total : driver_total).fetch_add(1, std::memory_order_relaxed);
}

std::uint64_t game_count() {
    return game_total.load(std::memory_order_relaxed);
}

std::uint64_t driver_count() {
    return driver_total.load(std::memory_order_relaxed);
}

void set_watching(bool on) {
    watch.store(on, std::memory_order_relaxed);
}

bool watching() {
    return watch.load(std::memory_order_relaxed);
}

} // namespace allocations

#include "game/attract_mode.h"

#include <utility>

attract_mode::attract_mode(bool enabled, std::string best_file)
    : enabled(enabled), best_file(std::move(best_file)) {}

void attract_mode::restart(std::uint32_t now) {
    since = now;
}

std::optional<replay> attract_mode::due(std::uint32_t now) {
    if (!enabled || now - since < idle_ms) {
        return std::nullopt;
    }
    restart(now);
    std::string why;
    return replay::read(best_file, why);
}

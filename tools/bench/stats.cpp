#include "bench/stats.h"

#include <algorithm>
#include <cmath>

namespace stats {

namespace {

double at_rank(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) {
        return 0.0;
    }
    const double rank = std::ceil(p * static_cast<double>(sorted.size()));
    const auto index = static_cast<size_t>(std::clamp(rank, 1.0, double(sorted.size()))) - 1;
    return sorted[index];
}

} // namespace

double percentile(std::vector<double> samples, double p) {
    std::sort(samples.begin(), samples.end());
    return at_rank(samples, p);
}

summary summarise(const std::vector<double>& samples) {
    std::vector<double> sorted = samples;
    std::sort(sorted.begin(), sorted.end());
    summary s;
    s.median = at_rank(sorted, 0.5);
    s.p95 = at_rank(sorted, 0.95);
    s.p99 = at_rank(sorted, 0.99);
    s.max = sorted.empty() ? 0.0 : sorted.back();
    return s;
}

} // namespace stats

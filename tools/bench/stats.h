#pragma once

#include <vector>

// Order statistics of a series of samples.
namespace stats {

struct summary {
    double median = 0.0;
    double p95 = 0.0;
    double p99 = 0.0;
    double max = 0.0;
};

// The sample at rank ceil(p * n) of the sorted series (nearest rank), for p in (0, 1];
// 0 for an empty series.
double percentile(std::vector<double> samples, double p);

// Median, 95th and 99th percentile and maximum; all 0 for an empty series.
summary summarise(const std::vector<double>& samples);

} // namespace stats

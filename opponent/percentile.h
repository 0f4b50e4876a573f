// The benchmarks' summary of their timings.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The value below which the share q (0 to 1) of values lie, the nearest
// one taken; 0 for no values.
inline double Percentile(std::vector<double> values, double q)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

#pragma once
// Middle and upper values of a benchmark's measurements.

#include <algorithm>
#include <vector>

namespace velmora::bench {

// The value below which `share` (0 to 1) of the measurements lie, between the two nearest
// measurements where it falls between them; 0 for no measurements.
inline double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double at = share * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - static_cast<double>(below)) * (values[above] - values[below]);
}

inline double median(std::vector<double> values)
{
    return percentile(std::move(values), 0.5);
}

} // namespace velmora::bench

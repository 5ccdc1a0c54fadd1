// Timing and the summary figures the benchmarks print.
#pragma once

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Median, least and most of a set of figures (all 0 for none); the median of
// an even count is the mean of the middle two.
struct Spread {
    double median = 0, min = 0, max = 0;
};
inline Spread SpreadOf(std::vector<double> v)
{
    Spread s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    s.min = v.front();
    s.max = v.back();
    return s;
}

inline double Median(std::vector<double> v)
{
    return SpreadOf(std::move(v)).median;
}

} // namespace bench

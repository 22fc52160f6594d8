#include "bench/BenchClock.h"

#include <algorithm>
#include <cmath>
#include <numeric>

double Stopwatch::Microseconds() const
{
    static const double ticksPerMicrosecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1e6;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / ticksPerMicrosecond;
}

double Samples::Percentile(double p) const
{
    if (values_.empty())
        return 0;
    std::vector<double> sorted = values_;
    std::sort(sorted.begin(), sorted.end());
    const size_t rank = static_cast<size_t>(std::ceil(p / 100 * static_cast<double>(sorted.size())));
    return sorted[std::min(std::max<size_t>(rank, 1), sorted.size()) - 1];
}

double Samples::Min() const
{
    return values_.empty() ? 0 : *std::min_element(values_.begin(), values_.end());
}

double Samples::Max() const
{
    return values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end());
}

double Samples::Sum() const
{
    return std::accumulate(values_.begin(), values_.end(), 0.0);
}

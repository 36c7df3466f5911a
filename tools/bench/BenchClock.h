// The benchmarks' clock and their summary of repeated measurements.
#ifndef LUMAREL_BENCHCLOCK_H
#define LUMAREL_BENCHCLOCK_H

#include <windows.h>

#include <algorithm>
#include <vector>

// Milliseconds on the performance counter.
inline double NowMs()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median, which one slow round (a busy core) does not move; 0 for none.
inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

#endif

// The benchmarks' clock, their summary of repeated measurements, and the
// line that says under which conditions the figures were taken.
#ifndef LUMAREL_BENCHCLOCK_H
#define LUMAREL_BENCHCLOCK_H

#include <windows.h>

#include <algorithm>
#include <cstdio>
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

// Which build this is and how it runs (tools/wine-run tells the program):
// absolute times under emulation are not comparable with native ones, the
// ratios of the control to its floor still are.
inline void PrintBenchConditions()
{
    char mode[64] = "";
    const DWORD length = GetEnvironmentVariableA("LUMAREL_RUN_MODE", mode, sizeof mode);
    if (length == 0 || length >= sizeof mode)
        std::snprintf(mode, sizeof mode, "%s", "(natively or emulated: not told by tools/wine-run)");
    std::printf("build: %u-bit (%s), running %s\n", static_cast<unsigned>(sizeof(void*) * 8),
                sizeof(void*) == 8 ? "PE32+" : "PE32", mode);
}

#endif

#include "VideoFit.h"

#include <limits>

namespace {

// Truncates toward zero like a C cast, but saturates instead of overflowing
// for results that do not fit in 32 bits (a 1-pixel-high video, say).
int32_t TruncateToInt32(double value)
{
    const double lowest = std::numeric_limits<int32_t>::min();
    const double highest = std::numeric_limits<int32_t>::max();
    if (!(value >= lowest)) // also catches NaN
        return std::numeric_limits<int32_t>::min();
    if (value > highest)
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// (a / b) * c in double precision, truncated toward zero.
int32_t ScaleTruncated(int32_t a, int32_t b, int32_t c)
{
    return TruncateToInt32(static_cast<double>(a) / static_cast<double>(b)
                           * static_cast<double>(c));
}

} // namespace

VideoRect FitVideoRect(int32_t cw, int32_t ch, int32_t vw, int32_t vh)
{
    if (vw <= 0 || vh <= 0)
        return VideoRect{0, 0, cw, ch};

    const int32_t g = ScaleTruncated(cw, vw, vh);
    if (g > ch) {
        const int32_t m = ScaleTruncated(ch, vh, vw);
        return VideoRect{cw / 2 - m / 2, 0, m, ch};
    }
    return VideoRect{0, ch / 2 - g / 2, cw, g};
}

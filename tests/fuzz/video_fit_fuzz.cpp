// libFuzzer target for FitVideoRect: any four 32-bit inputs must compute
// without undefined behaviour (the sanitizers check that), and for a real
// window and a real picture the result must lie inside the client area,
// span it in one direction and be centred in the other.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "VideoFit.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int32_t in[4] = {0, 0, 0, 0};
    std::memcpy(in, data, size < sizeof(in) ? size : sizeof(in));
    const int32_t cw = in[0], ch = in[1], vw = in[2], vh = in[3];

    const VideoRect r = FitVideoRect(cw, ch, vw, vh);
    if (cw < 0 || ch < 0 || vw <= 0 || vh <= 0)
        return 0;

    Require(r.left >= 0 && r.top >= 0 && r.width >= 0 && r.height >= 0);
    Require(int64_t(r.left) + r.width <= cw);
    Require(int64_t(r.top) + r.height <= ch);
    Require(r.width == cw || r.height == ch);
    // Centred: the two margins differ by at most one pixel.
    const int64_t spareX = int64_t(cw) - r.width - r.left;
    const int64_t spareY = int64_t(ch) - r.height - r.top;
    Require(spareX - r.left <= 1 && r.left - spareX <= 1);
    Require(spareY - r.top <= 1 && r.top - spareY <= 1);
    return 0;
}

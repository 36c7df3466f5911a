// SidecarIsAll: whether the picture of a sidecar the reader accepted is all
// of one colour, for the tests that check what a grab left beside the media.
#ifndef LUMAREL_TESTS_SIDECARPIXELS_H
#define LUMAREL_TESTS_SIDECARPIXELS_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "ScreenPixels.h"
#include "SidecarBitmap.h"

// Every pixel of an accepted 24-bit sidecar (bottom-up or top-down) within
// tolerance of rgb; on failure, the first pixel that is not.
inline ::testing::AssertionResult SidecarIsAll(const std::vector<uint8_t>& file,
                                               const SidecarPicture& picture, uint32_t rgb,
                                               int tolerance)
{
    const uint64_t stride = BitmapRowBytes(picture.width, picture.bitCount);
    const int32_t rows = picture.height < 0 ? -picture.height : picture.height;
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint8_t* px = file.data() + picture.pixelOffset + stride * y + 3 * x;
            const uint32_t colour = px[2] << 16 | px[1] << 8 | px[0];
            if (!ColourNear(colour, rgb, tolerance)) {
                char text[64];
                std::snprintf(text, sizeof(text), "pixel %d,%d is %06X", x, y, colour);
                return ::testing::AssertionFailure() << text;
            }
        }
    return ::testing::AssertionSuccess();
}

#endif

#include <gtest/gtest.h>

#include <climits>

#include "VideoFit.h"

namespace {

struct FitCase
{
    int32_t cw, ch, vw, vh;
    int32_t left, top, width, height;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.cw << "x" << c.ch << " client, " << c.vw << "x" << c.vh << " video";
}

class FitTable : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTable, GivesTheExactRectangle)
{
    const FitCase& c = GetParam();
    const VideoRect r = FitVideoRect(c.cw, c.ch, c.vw, c.vh);
    EXPECT_EQ(r.left, c.left);
    EXPECT_EQ(r.top, c.top);
    EXPECT_EQ(r.width, c.width);
    EXPECT_EQ(r.height, c.height);
}

INSTANTIATE_TEST_SUITE_P(WorkedValues, FitTable, ::testing::Values(
    FitCase{640, 480, 320, 240, 0, 0, 640, 480},   // same aspect: full width
    FitCase{800, 400, 320, 240, 134, 0, 533, 400}, // too tall: full height
    FitCase{500, 500, 640, 360, 0, 110, 500, 281},
    FitCase{641, 480, 640, 480, 0, 0, 641, 480},   // one pixel wider
    FitCase{799, 401, 352, 288, 154, 0, 490, 401},
    FitCase{800, 296, 720, 576, 216, 0, 369, 296}, // truncation gives 369, not 370
    FitCase{164, 200, 640, 480, 0, 39, 164, 122},
    FitCase{0, 0, 320, 240, 0, 0, 0, 0},           // minimised window
    // Halves are taken separately: (801 / 2) - (533 / 2), not (801 - 533) / 2.
    FitCase{801, 400, 320, 240, 134, 0, 533, 400},
    FitCase{640, 481, 320, 240, 0, 0, 640, 480}));

// Inputs without an aspect ratio give the picture the whole client area, and
// extreme ones must not overflow (the sanitizer build would catch it).
INSTANTIATE_TEST_SUITE_P(Degenerate, FitTable, ::testing::Values(
    FitCase{800, 600, 0, 240, 0, 0, 800, 600},
    FitCase{800, 600, 320, 0, 0, 0, 800, 600},
    FitCase{800, 600, 0, 0, 0, 0, 800, 600},
    FitCase{800, 600, -320, 240, 0, 0, 800, 600},
    FitCase{0, 0, 0, 0, 0, 0, 0, 0},
    // A 1-pixel-high video makes the full-width height overflow 32 bits.
    FitCase{INT_MAX, 100, 1, INT_MAX, INT_MAX / 2 - 0, 0, 0, 100},
    FitCase{1000, 100, 1, 1000000, 500, 0, 0, 100}));

TEST(FitVideoRect, EqualAspectTakesTheFullWidthBranch)
{
    // g == ch exactly: the picture spans the width and sits at the top.
    const VideoRect r = FitVideoRect(1280, 720, 1920, 1080);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.width, 1280);
    EXPECT_EQ(r.height, 720);
}

} // namespace

// CanvasTest: a fixture whose tests paint into one CanvasWindow of
// Width x Height, shared by the whole suite: Wine takes about two seconds to
// destroy a top-level window on a display without a window manager.
#ifndef LUMAREL_TESTS_CANVASTEST_H
#define LUMAREL_TESTS_CANVASTEST_H

#include <gtest/gtest.h>

#include <string>

#include "CanvasWindow.h"

template <int Width, int Height>
class CanvasTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_window = new CanvasWindow(Width, Height); }
    static void TearDownTestSuite()
    {
        delete s_window;
        s_window = nullptr;
    }

    // Whether the whole client area shows rgb; on failure says where not.
    ::testing::AssertionResult ShowsEverywhere(uint32_t rgb)
    {
        std::string where;
        const size_t off = CountOff(window.Capture(), window.Width(), 0, 0,
                                    window.Width(), window.Height(), rgb, &where);
        if (off == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << off << " pixels differ, first " << where;
    }

    static CanvasWindow* s_window;
    CanvasWindow& window = *s_window;
};

template <int Width, int Height>
CanvasWindow* CanvasTest<Width, Height>::s_window = nullptr;

#endif

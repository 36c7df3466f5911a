// ScreenPixels: what is really on screen inside a window's client area.
//
// The pixels are copied from the screen's device context (BitBlt of the
// desktop DC at the client area's screen position), so they include child
// windows such as an embedded video window, exactly as a user would see
// them. Under Wine on a virtual X display this reads the X server's frame
// buffer. Anything overlapping the window (a message box, another window)
// is captured too: keep the window uncovered while reading.
#ifndef LUMAREL_SCREENPIXELS_H
#define LUMAREL_SCREENPIXELS_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// True when each of the red, green and blue parts of two 0xRRGGBB colours
// differ by at most tolerance.
bool ColourNear(uint32_t a, uint32_t b, int tolerance);

class ScreenPixels
{
public:
    // Copies the client area of hWnd as it is on screen now. Empty when the
    // window is gone or the copy failed.
    static ScreenPixels OfClientArea(HWND hWnd);
    // Copies a rectangle of the screen.
    static ScreenPixels OfScreen(const RECT& rcScreen);

    bool Empty() const { return m_pixels.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixel as 0xRRGGBB; 0 outside the copy.
    uint32_t At(int x, int y) const;

    // Whether every pixel, or any pixel, of the rectangle (clipped to the
    // copy; right and bottom excluded) is near colour.
    bool AllNear(const RECT& rc, uint32_t colour, int tolerance) const;
    bool AnyNear(const RECT& rc, uint32_t colour, int tolerance) const;
    // How many pixels of the rectangle are near colour.
    int CountNear(const RECT& rc, uint32_t colour, int tolerance) const;

    // Writes the copy as a 32-bit BMP file (to look at after a failure).
    bool SaveBmp(const std::string& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels; // top-down rows, 0x00RRGGBB
};

#endif

#include "ScreenPixels.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool ColourNear(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int pa = static_cast<int>((a >> shift) & 0xFF);
        const int pb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(pa - pb) > tolerance)
            return false;
    }
    return true;
}

ScreenPixels ScreenPixels::OfClientArea(HWND hWnd)
{
    RECT rc;
    if (!hWnd || !IsWindow(hWnd) || !GetClientRect(hWnd, &rc))
        return ScreenPixels();
    POINT origin = {0, 0};
    ClientToScreen(hWnd, &origin);
    const RECT rcScreen = {origin.x, origin.y, origin.x + rc.right, origin.y + rc.bottom};
    return OfScreen(rcScreen);
}

ScreenPixels ScreenPixels::OfScreen(const RECT& rcScreen)
{
    ScreenPixels copy;
    const int width = rcScreen.right - rcScreen.left;
    const int height = rcScreen.bottom - rcScreen.top;
    if (width <= 0 || height <= 0)
        return copy;

    HDC hScreen = GetDC(NULL);
    HDC hMem = CreateCompatibleDC(hScreen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height; // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = NULL;
    HBITMAP hBitmap = CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap && pBits) {
        HGDIOBJ hOld = SelectObject(hMem, hBitmap);
        if (BitBlt(hMem, 0, 0, width, height, hScreen, rcScreen.left, rcScreen.top, SRCCOPY)) {
            GdiFlush();
            const uint32_t* pSource = static_cast<const uint32_t*>(pBits);
            copy.m_pixels.assign(pSource, pSource + static_cast<size_t>(width) * height);
            for (uint32_t& pixel : copy.m_pixels)
                pixel &= 0x00FFFFFF; // BGRA in memory reads as 0xAARRGGBB
            copy.m_width = width;
            copy.m_height = height;
        }
        SelectObject(hMem, hOld);
    }
    if (hBitmap)
        DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(NULL, hScreen);
    return copy;
}

uint32_t ScreenPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

int ScreenPixels::CountNear(const RECT& rc, uint32_t colour, int tolerance) const
{
    const int left = std::max<int>(rc.left, 0);
    const int top = std::max<int>(rc.top, 0);
    const int right = std::min<int>(rc.right, m_width);
    const int bottom = std::min<int>(rc.bottom, m_height);
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (ColourNear(At(x, y), colour, tolerance))
                ++count;
    return count;
}

bool ScreenPixels::AllNear(const RECT& rc, uint32_t colour, int tolerance) const
{
    const int width = std::min<int>(rc.right, m_width) - std::max<int>(rc.left, 0);
    const int height = std::min<int>(rc.bottom, m_height) - std::max<int>(rc.top, 0);
    if (width <= 0 || height <= 0)
        return false;
    return CountNear(rc, colour, tolerance) == width * height;
}

bool ScreenPixels::AnyNear(const RECT& rc, uint32_t colour, int tolerance) const
{
    return CountNear(rc, colour, tolerance) > 0;
}

bool ScreenPixels::SaveBmp(const std::string& path) const
{
    if (Empty())
        return false;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = m_width;
    info.biHeight = -m_height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD cbPixels = static_cast<DWORD>(m_pixels.size() * sizeof(uint32_t));
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + cbPixels;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1
              && std::fwrite(&info, sizeof(info), 1, out) == 1
              && std::fwrite(m_pixels.data(), cbPixels, 1, out) == 1;
    ok = std::fclose(out) == 0 && ok;
    return ok;
}

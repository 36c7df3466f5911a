// CanvasWindow: a visible top-level window whose client area belongs to the
// test, and the files a still-frame test leaves next to its media names.
//
// The window never paints itself (no background brush, WM_PAINT only
// validates), so what a test reads back from its client area is exactly what
// the test or the control under test drew there.
#ifndef LUMAREL_TESTS_STILLFRAME_CANVASWINDOW_H
#define LUMAREL_TESTS_STILLFRAME_CANVASWINDOW_H

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "ScreenPixels.h"
#include "TempDir.h"

class CanvasWindow
{
public:
    CanvasWindow(int clientWidth, int clientHeight) : m_width(clientWidth), m_height(clientHeight)
    {
        static const char* const kClass = "LumarelStillFrameCanvas";
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = kClass;
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        RegisterClassA(&wc);  // fails harmlessly once registered
        // A popup window's client area is the whole window.
        m_hWnd = CreateWindowExA(WS_EX_TOPMOST, kClass, "still frame test",
                                 WS_POPUP | WS_VISIBLE, 40, 40, clientWidth,
                                 clientHeight, NULL, NULL, wc.hInstance, NULL);
        Pump();
    }
    ~CanvasWindow()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        Pump();
    }
    CanvasWindow(const CanvasWindow&) = delete;
    CanvasWindow& operator=(const CanvasWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Covers the client area with one colour (0xRRGGBB).
    void Fill(uint32_t rgb)
    {
        HDC hdc = GetDC(m_hWnd);
        HBRUSH brush = CreateSolidBrush(ToColorRef(rgb));
        RECT rc = {0, 0, m_width, m_height};
        FillRect(hdc, &rc, brush);
        DeleteObject(brush);
        GdiFlush();
        ReleaseDC(m_hWnd, hdc);
    }

    // The client area's pixels, row by row from the top, as 0xRRGGBB.
    std::vector<uint32_t> Capture() const
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(m_width) * m_height, 0);
        GdiFlush();
        HDC hdcWindow = GetDC(m_hWnd);
        HDC hdcMem = CreateCompatibleDC(hdcWindow);
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = m_width;
        bmi.bmiHeader.biHeight = -m_height;  // top-down, like the vector
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* pBits = NULL;
        HBITMAP hbm = CreateDIBSection(hdcMem, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
        if (hbm && pBits) {
            HGDIOBJ old = SelectObject(hdcMem, hbm);
            BitBlt(hdcMem, 0, 0, m_width, m_height, hdcWindow, 0, 0, SRCCOPY);
            GdiFlush();
            const uint32_t* src = static_cast<const uint32_t*>(pBits);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = src[i] & 0xFFFFFF;
            SelectObject(hdcMem, old);
            DeleteObject(hbm);
        }
        DeleteDC(hdcMem);
        ReleaseDC(m_hWnd, hdcWindow);
        return pixels;
    }

    // The colour at x, y of the client area, as 0xRRGGBB.
    uint32_t At(int x, int y) const { return Capture()[static_cast<size_t>(y) * m_width + x]; }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

private:
    static COLORREF ToColorRef(uint32_t rgb)
    {
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            ValidateRect(hWnd, NULL);
            return 0;
        default:
            return DefWindowProcA(hWnd, msg, wParam, lParam);
        }
    }

    HWND m_hWnd = NULL;
    int m_width;
    int m_height;
};

// Whether two colours differ by at most `tolerance` in every channel.
inline bool NearColour(uint32_t a, uint32_t b, int tolerance = 8)
{
    return ColourNear(a, b, tolerance);
}

// How many pixels of the region (x0, y0)-(x1, y1), exclusive, are not near
// rgb; the first such pixel goes to *pFirstOff as "x,y=RRGGBB".
inline size_t CountOff(const std::vector<uint32_t>& pixels, int width, int x0, int y0,
                       int x1, int y1, uint32_t rgb, std::string* pFirstOff = nullptr)
{
    size_t off = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint32_t c = pixels[static_cast<size_t>(y) * width + x];
            if (!NearColour(c, rgb)) {
                if (off == 0 && pFirstOff) {
                    char text[48];
                    std::snprintf(text, sizeof(text), "%d,%d=%06X", x, y, c);
                    *pFirstOff = text;
                }
                ++off;
            }
        }
    return off;
}

inline bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

#endif

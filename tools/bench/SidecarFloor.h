// The floor a still frame from a sidecar is measured against: the simplest
// program that reads the same file whole (fopen, fseek, ftell, fread) and
// draws it with one HALFTONE StretchDIBits over the same client area.
//
// It comes in two kinds. TimeFloor reads into a buffer that was zero-filled
// first (std::vector<BYTE>(n)), the faster of the two and the one to compare
// with; TimeUntouchedFloor into a fresh new BYTE[n], whose pages the read
// has to bring in itself, which costs far more under Wine. Only files with
// a 40-byte info header.
#ifndef LUMAREL_BENCH_SIDECARFLOOR_H
#define LUMAREL_BENCH_SIDECARFLOOR_H

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchClock.h"

struct ClientSize
{
    int width, height;
};

// One stretched draw of a 40-byte-header picture over the client area.
inline void Draw(HWND hWnd, ClientSize client, const BYTE* pHeader, const BYTE* pBits)
{
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(pHeader);
    HDC hdc = GetDC(hWnd);
    SetStretchBltMode(hdc, HALFTONE);
    StretchDIBits(hdc, 0, 0, client.width, client.height, 0, 0, bih->biWidth,
                  bih->biHeight < 0 ? -bih->biHeight : bih->biHeight, pBits,
                  reinterpret_cast<const BITMAPINFO*>(pHeader), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(hWnd, hdc);
}

inline DWORD PixelOffset(const BYTE* pFile)
{
    return pFile[10] | (pFile[11] << 8) | (pFile[12] << 16) | (pFile[13] << 24);
}

inline long OpenForReading(const std::string& path, FILE** ppFile)
{
    *ppFile = std::fopen(path.c_str(), "rb");
    std::fseek(*ppFile, 0, SEEK_END);
    const long length = std::ftell(*ppFile);
    std::fseek(*ppFile, 0, SEEK_SET);
    return length;
}

// The floor: the file read whole into a zero-filled buffer, then drawn once.
inline double TimeFloor(HWND hWnd, ClientSize client, const std::string& path)
{
    const double start = NowMs();
    FILE* f = NULL;
    const long length = OpenForReading(path, &f);
    std::vector<BYTE> buf(length);
    std::fread(buf.data(), 1, length, f);
    std::fclose(f);
    Draw(hWnd, client, buf.data() + 14, buf.data() + PixelOffset(buf.data()));
    GdiFlush();
    return NowMs() - start;
}

// The same into a fresh buffer that nothing has touched before the read.
inline double TimeUntouchedFloor(HWND hWnd, ClientSize client, const std::string& path)
{
    const double start = NowMs();
    FILE* f = NULL;
    const long length = OpenForReading(path, &f);
    BYTE* pBuf = new BYTE[length];
    std::fread(pBuf, 1, length, f);
    std::fclose(f);
    Draw(hWnd, client, pBuf + 14, pBuf + PixelOffset(pBuf));
    GdiFlush();
    const double elapsed = NowMs() - start;
    delete[] pBuf;
    return elapsed;
}

#endif

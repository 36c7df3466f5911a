// stillframe_bench [ROUNDS]: ShowFrame from a sidecar against the floor for
// the same work, with the real Lumarel.dll painting into a real window.
//
// The floor reads the same file whole (fopen, fseek, ftell, fread) and draws
// it with one HALFTONE StretchDIBits over the same client area; ShowFrame
// adds its probe of the sidecar, the checks of the reader and the header
// copy. The two alternate within each round (their order swapped every
// round) for a 320 x 200 and a 1920 x 1080 sidecar. Then a loaded picture's
// repaint (a later ShowFrame) against one StretchDIBits of the same pixels.
// Prints medians in milliseconds and the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "CanvasWindow.h"
#include "CraftedBitmap.h"
#include "RealLibrary.h"

namespace {

const int kClientWidth = 800;
const int kClientHeight = 600;

// One stretched draw of a 40-byte-header picture over the client area.
void Draw(HWND hWnd, const BYTE* pHeader, const BYTE* pBits)
{
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(pHeader);
    HDC hdc = GetDC(hWnd);
    SetStretchBltMode(hdc, HALFTONE);
    StretchDIBits(hdc, 0, 0, kClientWidth, kClientHeight, 0, 0, bih->biWidth,
                  bih->biHeight < 0 ? -bih->biHeight : bih->biHeight, pBits,
                  reinterpret_cast<const BITMAPINFO*>(pHeader), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(hWnd, hdc);
}

// The floor: the file read whole, then drawn once.
double TimeFloor(HWND hWnd, const std::string& path)
{
    const double start = NowMs();
    FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    BYTE* pBuf = new BYTE[length];
    std::fread(pBuf, 1, length, f);
    std::fclose(f);
    const DWORD offBits = pBuf[10] | (pBuf[11] << 8) | (pBuf[12] << 16) | (pBuf[13] << 24);
    Draw(hWnd, pBuf + 14, pBuf + offBits);
    GdiFlush();
    const double elapsed = NowMs() - start;
    delete[] pBuf;
    return elapsed;
}

// A new control's first ShowFrame, which reads the sidecar; only the call
// is timed.
double TimeFirstShowFrame(RealLibrary& lib, HWND hWnd, const std::string& media)
{
    IPlayerControl* control = lib.NewPlayerControl();
    control->SetWindow(hWnd);
    control->SetFileName(media.c_str());
    const double start = NowMs();
    control->ShowFrame(1.0);
    GdiFlush();
    const double elapsed = NowMs() - start;
    lib.DeletePlayerControl(control);
    return elapsed;
}

struct Figures
{
    double showFrame, floor;
};

Figures CompareWithFloor(RealLibrary& lib, HWND hWnd, const std::string& media, int rounds)
{
    const std::string sidecar = media + ".bmp";
    std::vector<double> showFrame, floor;
    for (int i = 0; i < rounds; ++i) {
        if (i % 2) {
            showFrame.push_back(TimeFirstShowFrame(lib, hWnd, media));
            floor.push_back(TimeFloor(hWnd, sidecar));
        } else {
            floor.push_back(TimeFloor(hWnd, sidecar));
            showFrame.push_back(TimeFirstShowFrame(lib, hWnd, media));
        }
        CanvasWindow::Pump();
    }
    return {Median(showFrame), Median(floor)};
}

Figures CompareRepaint(RealLibrary& lib, HWND hWnd, const std::string& media,
                       const std::vector<uint8_t>& file, int rounds)
{
    IPlayerControl* control = lib.NewPlayerControl();
    control->SetWindow(hWnd);
    control->SetFileName(media.c_str());
    control->ShowFrame(1.0);
    std::vector<double> repaint, floor;
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < 2; ++k) {
            const double start = NowMs();
            if ((i + k) % 2) {
                control->ShowFrame(1.0);
                GdiFlush();
                repaint.push_back(NowMs() - start);
            } else {
                Draw(hWnd, file.data() + 14, file.data() + 54);
                GdiFlush();
                floor.push_back(NowMs() - start);
            }
        }
        CanvasWindow::Pump();
    }
    lib.DeletePlayerControl(control);
    return {Median(repaint), Median(floor)};
}

void Print(const char* what, const Figures& f, const char* floorName)
{
    std::printf("%-34s %9.3f ms   %-16s %9.3f ms   ratio %.3f\n", what, f.showFrame,
                floorName, f.floor, f.showFrame / f.floor);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    PrintBenchConditions();
    RealLibrary lib;
    if (!lib.Loaded()) {
        std::fprintf(stderr, "Lumarel.dll or an export is missing\n");
        return 1;
    }
    CanvasWindow window(kClientWidth, kClientHeight);
    TempDir dir;
    std::printf("still frame from a sidecar, %d rounds, %dx%d client area, medians\n", rounds,
                kClientWidth, kClientHeight);

    const struct
    {
        const char* name;
        int32_t width, height;
    } sizes[] = {{"320x200", 320, 200}, {"1920x1080", 1920, 1080}};
    for (const auto& size : sizes) {
        CraftedBitmap bm = SolidBitmap(size.width, size.height, 0);
        bm.colour = [](int32_t x, int32_t y) {
            return static_cast<uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x80);
        };
        const std::vector<uint8_t> file = MakeBitmapFile(bm);
        const std::string media = dir.Path(std::string("clip-") + size.name + ".avi");
        if (!WriteBytes(media + ".bmp", file)) {
            std::fprintf(stderr, "cannot write %s.bmp\n", media.c_str());
            return 1;
        }
        // One of each first, so both start from a warm file cache.
        TimeFloor(window.Handle(), media + ".bmp");
        TimeFirstShowFrame(lib, window.Handle(), media);

        const std::string label = std::string("ShowFrame, sidecar ") + size.name;
        Print(label.c_str(), CompareWithFloor(lib, window.Handle(), media, rounds),
              "read + draw");
        const std::string repaint = std::string("repaint, loaded ") + size.name;
        Print(repaint.c_str(), CompareRepaint(lib, window.Handle(), media, file, rounds),
              "draw");
    }
    return 0;
}

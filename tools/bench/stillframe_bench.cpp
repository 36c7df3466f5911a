// stillframe_bench [ROUNDS]: ShowFrame from a sidecar against the floor for
// the same work, with the real Lumarel.dll painting into a real window.
//
// The floor is the simplest program that does the same: it reads the whole
// file (fopen, fseek, ftell, fread) into a buffer and draws it with one
// HALFTONE StretchDIBits over the same client area. It comes in two kinds,
// and both are printed: into a buffer that was zero-filled first
// (std::vector<BYTE>(n)), the faster of the two and the one the ratio is
// taken against, and into a fresh untouched one (new BYTE[n]), whose pages
// the read has to bring in itself, which costs far more under Wine.
// ShowFrame adds the checks of the reader and the header copy.
//
// The three alternate within each round, their order turned every round,
// for a 320 x 200 and a 1920 x 1080 sidecar over two client areas. Then a
// loaded picture's repaint (a later ShowFrame) against one StretchDIBits of
// the same pixels. Prints medians in milliseconds and the ratios.
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

struct ClientSize
{
    int width, height;
};

// One stretched draw of a 40-byte-header picture over the client area.
void Draw(HWND hWnd, ClientSize client, const BYTE* pHeader, const BYTE* pBits)
{
    const BITMAPINFOHEADER* bih = reinterpret_cast<const BITMAPINFOHEADER*>(pHeader);
    HDC hdc = GetDC(hWnd);
    SetStretchBltMode(hdc, HALFTONE);
    StretchDIBits(hdc, 0, 0, client.width, client.height, 0, 0, bih->biWidth,
                  bih->biHeight < 0 ? -bih->biHeight : bih->biHeight, pBits,
                  reinterpret_cast<const BITMAPINFO*>(pHeader), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(hWnd, hdc);
}

DWORD PixelOffset(const BYTE* pFile)
{
    return pFile[10] | (pFile[11] << 8) | (pFile[12] << 16) | (pFile[13] << 24);
}

long OpenForReading(const std::string& path, FILE** ppFile)
{
    *ppFile = std::fopen(path.c_str(), "rb");
    std::fseek(*ppFile, 0, SEEK_END);
    const long length = std::ftell(*ppFile);
    std::fseek(*ppFile, 0, SEEK_SET);
    return length;
}

// The floor: the file read whole into a zero-filled buffer, then drawn once.
double TimeFloor(HWND hWnd, ClientSize client, const std::string& path)
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
double TimeUntouchedFloor(HWND hWnd, ClientSize client, const std::string& path)
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

struct FirstCallFigures
{
    double showFrame, floor, untouchedFloor;
};

FirstCallFigures CompareWithFloors(RealLibrary& lib, const CanvasWindow& window,
                                   const std::string& media, int rounds)
{
    const HWND hWnd = window.Handle();
    const ClientSize client = {window.Width(), window.Height()};
    const std::string sidecar = media + ".bmp";
    std::vector<double> showFrame, floor, untouched;
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < 3; ++k) {
            switch ((i + k) % 3) {
            case 0:
                showFrame.push_back(TimeFirstShowFrame(lib, hWnd, media));
                break;
            case 1:
                floor.push_back(TimeFloor(hWnd, client, sidecar));
                break;
            default:
                untouched.push_back(TimeUntouchedFloor(hWnd, client, sidecar));
                break;
            }
        }
        CanvasWindow::Pump();
    }
    return {Median(showFrame), Median(floor), Median(untouched)};
}

struct RepaintFigures
{
    double repaint, draw;
};

RepaintFigures CompareRepaint(RealLibrary& lib, const CanvasWindow& window,
                              const std::string& media, const std::vector<uint8_t>& file,
                              int rounds)
{
    const ClientSize client = {window.Width(), window.Height()};
    IPlayerControl* control = lib.NewPlayerControl();
    control->SetWindow(window.Handle());
    control->SetFileName(media.c_str());
    control->ShowFrame(1.0);
    std::vector<double> repaint, draw;
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < 2; ++k) {
            const double start = NowMs();
            if ((i + k) % 2) {
                control->ShowFrame(1.0);
                GdiFlush();
                repaint.push_back(NowMs() - start);
            } else {
                Draw(window.Handle(), client, file.data() + 14, file.data() + 54);
                GdiFlush();
                draw.push_back(NowMs() - start);
            }
        }
        CanvasWindow::Pump();
    }
    lib.DeletePlayerControl(control);
    return {Median(repaint), Median(draw)};
}

std::vector<uint8_t> PatternFile(int32_t width, int32_t height)
{
    CraftedBitmap bm = SolidBitmap(width, height, 0);
    bm.colour = [](int32_t x, int32_t y) {
        return static_cast<uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x80);
    };
    return MakeBitmapFile(bm);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 41;
    RealLibrary lib;
    if (!lib.Loaded()) {
        std::fprintf(stderr, "Lumarel.dll or an export is missing\n");
        return 1;
    }
    TempDir dir;
    std::printf("still frame from a sidecar, %d-bit build, %d rounds, medians in ms\n",
                static_cast<int>(8 * sizeof(void*)), rounds);
    std::printf("floor: fread into a zero-filled buffer + draw; untouched: into new BYTE[n]\n");
    std::printf("%-8s %-9s %-8s %9s %9s %6s %9s %6s\n", "client", "sidecar", "work",
                "ShowFrame", "floor", "ratio", "untouched", "ratio");

    const ClientSize clients[] = {{800, 600}, {640, 360}};
    const struct
    {
        const char* name;
        int32_t width, height;
    } sizes[] = {{"320x200", 320, 200}, {"1920x1080", 1920, 1080}};
    for (const ClientSize& client : clients) {
        CanvasWindow window(client.width, client.height);
        char clientName[16];
        std::snprintf(clientName, sizeof(clientName), "%dx%d", client.width, client.height);
        for (const auto& size : sizes) {
            const std::vector<uint8_t> file = PatternFile(size.width, size.height);
            const std::string media = dir.Path(std::string("clip-") + size.name + ".avi");
            if (!WriteBytes(media + ".bmp", file)) {
                std::fprintf(stderr, "cannot write %s.bmp\n", media.c_str());
                return 1;
            }
            // One of each first, so all start from a warm file cache.
            TimeFloor(window.Handle(), client, media + ".bmp");
            TimeUntouchedFloor(window.Handle(), client, media + ".bmp");
            TimeFirstShowFrame(lib, window.Handle(), media);

            const FirstCallFigures first = CompareWithFloors(lib, window, media, rounds);
            std::printf("%-8s %-9s %-8s %9.2f %9.2f %6.3f %9.2f %6.3f\n", clientName,
                        size.name, "first", first.showFrame, first.floor,
                        first.showFrame / first.floor, first.untouchedFloor,
                        first.showFrame / first.untouchedFloor);
            const RepaintFigures again = CompareRepaint(lib, window, media, file, rounds);
            std::printf("%-8s %-9s %-8s %9.2f %9.2f %6.3f   (floor: draw only)\n", clientName,
                        size.name, "repaint", again.repaint, again.draw,
                        again.repaint / again.draw);
        }
    }
    return 0;
}

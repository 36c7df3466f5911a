// stillframe_bench [ROUNDS, default 101]: ShowFrame from a sidecar against the floor for
// the same work, with the real Lumarel.dll painting into a real window.
//
// The floor (SidecarFloor.h) is the simplest program doing the same: the
// file read whole and drawn once. Both its kinds are printed, into a
// zero-filled buffer (the ratio is taken against this, the faster one) and
// into an untouched one. ShowFrame adds the checks of the reader and the
// header copy.
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
#include "SidecarFloor.h"

namespace {

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
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    PrintBenchConditions();
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

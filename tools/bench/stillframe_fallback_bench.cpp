// stillframe_fallback_bench [ROUNDS]: what the sidecar saves where the still
// frame is grabbed through a graph (the media detector cannot grab).
//
// Each round removes the sidecar, times a new control's first ShowFrame
// (the grab, the sidecar written, the paint), then a second control's
// ShowFrame on the same file (the sidecar read and painted), with the real
// Lumarel.dll into a real window, and the two floors of that read
// (SidecarFloor.h) on the sidecar just written, in turns. Prints the
// medians and their ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "AviClip.h"
#include "MessageBoxWatcher.h"
#include "RealLibrary.h"
#include "SidecarFloor.h"

namespace {

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND CreateBenchWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "LumarelFallbackBench";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowA(wc.lpszClassName, "still frame bench",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 656, 439, NULL, NULL,
                              wc.hInstance, NULL);
    PumpMessages();
    return hWnd;
}

// One control's ShowFrame(streamTime) on path, timed alone, in ms.
double TimeShowFrame(RealLibrary& lib, HWND hWnd, const std::string& path, double streamTime)
{
    IPlayerControl* control = lib.NewPlayerControl();
    control->SetWindow(hWnd);
    control->SetFileName(path.c_str());
    const double start = NowMs();
    control->ShowFrame(streamTime);
    const double elapsed = NowMs() - start;
    lib.DeletePlayerControl(control);
    PumpMessages();
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    PrintBenchConditions();
    RealLibrary lib;
    if (!lib.Loaded()) {
        std::fprintf(stderr, "Lumarel.dll or an export is missing\n");
        return 1;
    }
    // Where the detector is missing its message box shows before each
    // grab; the watcher answers it.
    MessageBoxWatcher watcher;
    HWND hWnd = CreateBenchWindow();

    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "lumarel-fallback-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), NULL);
    const std::string clip = folder + "\\clip.avi";
    const std::string sidecar = clip + ".bmp";
    AviClipSpec clipSpec;
    clipSpec.width = 640;
    clipSpec.height = 480;
    clipSpec.framesPerSecond = 25;
    clipSpec.secondColours = {0xC02020, 0x20C020, 0x2020C0};
    if (!WriteAviClip(clip, clipSpec)) {
        std::fprintf(stderr, "cannot write %s\n", clip.c_str());
        return 1;
    }

    RECT rcClient = {};
    GetClientRect(hWnd, &rcClient);
    const ClientSize client = {rcClient.right, rcClient.bottom};
    std::vector<double> grabs, reads, floors, untouchedFloors;
    for (int round = 0; round < rounds; ++round) {
        DeleteFileA(sidecar.c_str());
        grabs.push_back(TimeShowFrame(lib, hWnd, clip, 1.0));
        if (GetFileAttributesA(sidecar.c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::fprintf(stderr, "the first ShowFrame left no sidecar\n");
            return 1;
        }
        for (int k = 0; k < 3; ++k) {
            switch ((round + k) % 3) {
            case 0:
                reads.push_back(TimeShowFrame(lib, hWnd, clip, 1.0));
                break;
            case 1:
                floors.push_back(TimeFloor(hWnd, client, sidecar));
                break;
            default:
                untouchedFloors.push_back(TimeUntouchedFloor(hWnd, client, sidecar));
                break;
            }
        }
        PumpMessages();
    }
    DeleteFileA(sidecar.c_str());
    DeleteFileA(clip.c_str());
    RemoveDirectoryA(folder.c_str());
    DestroyWindow(hWnd);

    const double grab = Median(grabs);
    const double read = Median(reads);
    const double floor = Median(floors);
    const double untouchedFloor = Median(untouchedFloors);
    std::printf("still frame without the detector, %d-bit build: %d rounds, 640x480 clip, "
                "656x439 window (%dx%d client area)\n",
                static_cast<int>(8 * sizeof(void*)), rounds, client.width, client.height);
    std::printf("  first ShowFrame (graph grab, sidecar written): median %8.2f ms, min %8.2f ms\n",
                grab, *std::min_element(grabs.begin(), grabs.end()));
    std::printf("  later ShowFrame (from the sidecar):            median %8.2f ms, min %8.2f ms\n",
                read, *std::min_element(reads.begin(), reads.end()));
    std::printf("  floor, read + draw (zero-filled buffer):       median %8.2f ms, "
                "ShowFrame / floor %.3f\n",
                floor, floor > 0 ? read / floor : 0.0);
    std::printf("  floor, read + draw (untouched buffer):         median %8.2f ms, "
                "ShowFrame / floor %.3f\n",
                untouchedFloor, untouchedFloor > 0 ? read / untouchedFloor : 0.0);
    std::printf("  the sidecar makes it %.1f times faster\n", read > 0 ? grab / read : 0.0);
    if (!watcher.Seen().empty())
        std::printf("  (the detector was missing: %zu message boxes answered)\n",
                    watcher.Seen().size());
    return 0;
}

// playback_bench: what the control costs on top of the DirectShow calls it
// makes, measured on real playback.
//
//   tools/wine-run build/bin/playback_bench.exe [cycles] [coinit]
//
// Each cycle plays a clip into a window until its first frame is on screen
// (read back from the screen), then destroys the player, once through the
// control (message boxes swallowed by its platform seam) and once through a
// bare sequence of the same DirectShow calls; the kinds take turns, and
// which goes first rotates too. With "coinit" a third kind, the bare calls
// plus the CoInitialize the control makes on construction, isolates the one
// call the control adds outside DirectShow (it is left out by default:
// every graph released is one more chance for Wine 8's system clock to miss
// its stop signal and hang the release). It prints the medians of the time
// from Play() to the first frame, their ratio, and per cycle the growth of
// the process's committed private memory, of its pagefile usage (with the
// 95 % confidence interval of the mean) and of its open handles, per kind.
#include <windows.h>
#include <psapi.h>
#include <control.h>
#include <strmif.h>
#include <uuids.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AviClip.h"
#include "BenchClock.h"
#include "CPlayerControl.h"
#include "ScreenPixels.h"
#include "TestWindow.h"
#include "VideoFit.h"

namespace {

const int kClientWidth = 640;
const int kClientHeight = 480;

// The control's platform with message boxes swallowed, so a box waiting for
// a click is not what gets measured.
class SilentPlatform : public IPlatformServices
{
public:
    HRESULT CreateInstance(REFCLSID clsid, DWORD dwClsContext, REFIID iid,
                           void** ppv) override
    {
        return CoCreateInstance(clsid, NULL, dwClsContext, iid, ppv);
    }
    int ShowMessageBox(const char*, const char*, UINT) override { return IDOK; }
};

// The control's sequence of DirectShow calls written out by hand, with no
// control around it.
class BarePlayer
{
public:
    void Open(HWND hWnd, const std::string& path)
    {
        WCHAR wszPath[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wszPath, MAX_PATH);
        CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC, IID_IGraphBuilder,
                         reinterpret_cast<void**>(&m_pGB));
        IBaseFilter* pRenderer = NULL;
        CoCreateInstance(CLSID_VideoRenderer, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                         reinterpret_cast<void**>(&pRenderer));
        m_pGB->AddFilter(pRenderer, L"Video Renderer");
        m_pGB->RenderFile(wszPath, NULL);
        IEnumPins* pEnum = NULL;
        pRenderer->EnumPins(&pEnum);
        IPin* pPin = NULL;
        while (pEnum->Next(1, &pPin, NULL) == S_OK) {
            IPin* pPeer = NULL;
            pPin->ConnectedTo(&pPeer);
            if (pPeer)
                pPeer->Release();
            pPin->Release();
        }
        pEnum->Release();
        pRenderer->Release();

        m_pGB->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_pMC));
        m_pGB->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&m_pMP));
        m_pGB->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&m_pME));
        m_pGB->QueryInterface(IID_IBasicVideo, reinterpret_cast<void**>(&m_pBV));
        m_pGB->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&m_pMS));
        m_pGB->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&m_pBA));
        m_pGB->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&m_pVW));

        const long style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        m_pVW->put_Owner(reinterpret_cast<OAHWND>(hWnd));
        m_pVW->put_WindowStyle(style);
        Fit(hWnd);
        m_pVW->put_MessageDrain(reinterpret_cast<OAHWND>(hWnd));
        m_pVW->put_Visible(-1);
        m_pVW->put_FullScreenMode(0);
        m_pVW->put_WindowStyle(style);
        Fit(hWnd);
        m_pVW->put_Visible(-1);

        double dDuration = 0.0;
        m_pMP->get_Duration(&dDuration);
        LONGLONG llDuration = 0;
        if (SUCCEEDED(m_pMS->SetTimeFormat(&TIME_FORMAT_FRAME)))
            m_pMS->GetDuration(&llDuration);
    }
    void Run() { m_pMC->Run(); }
    void Close()
    {
        m_pMC->Stop();
        IUnknown* all[] = {m_pMC, m_pME, m_pMP, m_pMS, m_pBV, m_pBA, m_pVW, m_pGB};
        for (IUnknown* p : all)
            if (p)
                p->Release();
        *this = BarePlayer();
    }

private:
    void Fit(HWND hWnd)
    {
        long vw = 0;
        long vh = 0;
        m_pBV->GetVideoSize(&vw, &vh);
        RECT rc;
        GetClientRect(hWnd, &rc);
        const VideoRect fit = FitVideoRect(rc.right, rc.bottom, vw, vh);
        m_pBV->SetDestinationPosition(fit.left, fit.top, fit.width, fit.height);
        m_pVW->SetWindowPosition(rc.left, rc.top, rc.right, rc.bottom);
    }

    IGraphBuilder* m_pGB = NULL;
    IMediaControl* m_pMC = NULL;
    IMediaPosition* m_pMP = NULL;
    IMediaEvent* m_pME = NULL;
    IBasicVideo* m_pBV = NULL;
    IMediaSeeking* m_pMS = NULL;
    IBasicAudio* m_pBA = NULL;
    IVideoWindow* m_pVW = NULL;
};

// Committed private memory of the process, summed over its address space:
// what the process adds to the system's commit charge.
size_t CommittedPrivateBytes()
{
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* address = NULL;
    while (VirtualQuery(address, &info, sizeof(info)) == sizeof(info)) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

// The process's pagefile-backed usage as the system reports it. Under Wine
// this is the anonymous resident memory of the whole process, its Unix side
// (media framework, display driver) included, which the address space walk
// above does not see.
size_t PagefileUsageBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return counters.PagefileUsage;
}

// The process's open handles: a graph kept alive past its player keeps its
// threads and events open, which shows here as whole handles per cycle.
DWORD HandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

struct MemorySample
{
    size_t committed;
    size_t pagefile;
    DWORD handles;
    static MemorySample Now()
    {
        return MemorySample{CommittedPrivateBytes(), PagefileUsageBytes(), HandleCount()};
    }
};

double GrowthKiB(size_t before, size_t after)
{
    return (static_cast<double>(after) - static_cast<double>(before)) / 1024.0;
}

void DispatchPending()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The colour at the centre of the client area, as on screen.
uint32_t CentreColour(HWND hWnd)
{
    POINT centre = {kClientWidth / 2, kClientHeight / 2};
    ClientToScreen(hWnd, &centre);
    const RECT rc = {centre.x, centre.y, centre.x + 1, centre.y + 1};
    return ScreenPixels::OfScreen(rc).At(0, 0);
}

// Dispatches messages until the centre shows colour; the time it took, or
// a negative value after 10 s.
double WaitForColour(HWND hWnd, uint32_t colour, double start)
{
    for (;;) {
        DispatchPending();
        if (ColourNear(CentreColour(hWnd), colour, 40))
            return NowMs() - start;
        if (NowMs() - start > 10000.0)
            return -1.0;
        Sleep(1);
    }
}

// Paints the window black again and waits until the screen shows it.
void ClearWindow(HWND hWnd)
{
    InvalidateRect(hWnd, NULL, TRUE);
    UpdateWindow(hWnd);
    PumpUntil([hWnd] { return ColourNear(CentreColour(hWnd), 0x000000, 8); }, 2000);
    PumpMessages(30);
}

struct Cycle
{
    double firstFrameMs;
    double committedGrowthKiB;
    double pagefileGrowthKiB;
    double handleGrowth;
};

Cycle Measured(double ms, const MemorySample& before, const MemorySample& after)
{
    return Cycle{ms, GrowthKiB(before.committed, after.committed),
                 GrowthKiB(before.pagefile, after.pagefile),
                 static_cast<double>(after.handles) - static_cast<double>(before.handles)};
}

Cycle RunControl(TestWindow& window, const std::string& clip, uint32_t colour)
{
    static SilentPlatform platform;
    const MemorySample before = MemorySample::Now();
    CPlayerControl* control = new CPlayerControl(platform);
    control->SetWindow(window.Handle());
    control->SetFileName(clip.c_str());
    const double start = NowMs();
    control->Play();
    const double ms = WaitForColour(window.Handle(), colour, start);
    delete control;
    PumpMessages(50);
    return Measured(ms, before, MemorySample::Now());
}

// The bare graph; with bCoInitialize, also the one call the control makes
// outside DirectShow: CoInitialize on every construction, never balanced (on
// this thread COM is already initialised, as in a host that made a control
// before).
Cycle RunBare(TestWindow& window, const std::string& clip, uint32_t colour,
              bool bCoInitialize = false)
{
    const MemorySample before = MemorySample::Now();
    if (bCoInitialize)
        CoInitialize(NULL);
    BarePlayer player;
    const double start = NowMs();
    player.Open(window.Handle(), clip);
    player.Run();
    const double ms = WaitForColour(window.Handle(), colour, start);
    player.Close();
    PumpMessages(50);
    return Measured(ms, before, MemorySample::Now());
}

double Mean(const std::vector<double>& values)
{
    double sum = 0.0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// Half the width of the 95 % confidence interval of the mean (normal
// approximation): the growth of one cycle is whole pages that land on
// whichever cycle the allocator happens to grow in, so single cycles scatter
// widely and only the means of many cycles can be compared.
double HalfWidth95(const std::vector<double>& values)
{
    if (values.size() < 2)
        return 0.0;
    const double mean = Mean(values);
    double squares = 0.0;
    for (double v : values)
        squares += (v - mean) * (v - mean);
    const double n = static_cast<double>(values.size());
    return 1.96 * std::sqrt(squares / (n - 1.0) / n);
}

void PrintRow(const char* name, const std::vector<Cycle>& cycles)
{
    std::vector<double> ms;
    std::vector<double> committed;
    std::vector<double> pagefile;
    std::vector<double> handles;
    for (const Cycle& c : cycles) {
        ms.push_back(c.firstFrameMs);
        committed.push_back(c.committedGrowthKiB);
        pagefile.push_back(c.pagefileGrowthKiB);
        handles.push_back(c.handleGrowth);
    }
    std::printf("%-16s %7.1f %7.1f %7.1f  %9.1f %9.1f  %9.1f %9.1f %7.1f  %7.2f\n", name,
                Median(ms), *std::min_element(ms.begin(), ms.end()),
                *std::max_element(ms.begin(), ms.end()), Median(committed), Mean(committed),
                Median(pagefile), Mean(pagefile), HalfWidth95(pagefile), Mean(handles));
}

} // namespace

int main(int argc, char** argv)
{
    const int cycles = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;
    const bool withCoInit = argc > 2 && std::strcmp(argv[2], "coinit") == 0;
    PrintBenchConditions();
    CoInitialize(NULL);

    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    AviClipSpec red;
    red.secondColours = std::vector<uint32_t>(5, 0xFF0000);
    AviClipSpec blue;
    blue.secondColours = std::vector<uint32_t>(5, 0x0000FF);
    const std::string redClip = std::string(temp) + "lumarel-bench-red.avi";
    const std::string blueClip = std::string(temp) + "lumarel-bench-blue.avi";
    if (!WriteAviClip(redClip, red) || !WriteAviClip(blueClip, blue)) {
        std::fprintf(stderr, "cannot write the clips into %s\n", temp);
        return 1;
    }

    TestWindow window(kClientWidth, kClientHeight);
    // Warm-up: the first graphs load DLLs and fill caches.
    for (int i = 0; i < 2; ++i) {
        RunControl(window, redClip, 0xFF0000);
        ClearWindow(window.Handle());
        RunBare(window, blueClip, 0x0000FF);
        ClearWindow(window.Handle());
    }

    // The kinds of cycle take turns, each in every position in turn, and the
    // clip's colour alternates from one cycle to the next.
    enum Kind { kControl, kBare, kBareCoInit, kKinds };
    const char* const names[kKinds] = {"control (seam)", "bare graph", "bare + CoInit"};
    const int kinds = withCoInit ? kKinds : kBareCoInit;
    std::vector<Cycle> results[kKinds];
    int played = 0;
    const MemorySample start = MemorySample::Now();
    for (int i = 0; i < cycles; ++i) {
        for (int turn = 0; turn < kinds; ++turn) {
            const int kind = (i + turn) % kinds;
            const bool red = played++ % 2 == 0;
            const std::string& clip = red ? redClip : blueClip;
            const uint32_t colour = red ? 0xFF0000 : 0x0000FF;
            if (kind == kControl)
                results[kind].push_back(RunControl(window, clip, colour));
            else
                results[kind].push_back(RunBare(window, clip, colour, kind == kBareCoInit));
            ClearWindow(window.Handle());
        }
    }
    const MemorySample end = MemorySample::Now();

    int timeouts = 0;
    for (const std::vector<Cycle>& set : results)
        for (const Cycle& c : set)
            timeouts += c.firstFrameMs < 0 ? 1 : 0;

    std::printf("playback_bench: %d cycles each, %dx%d client, 320x240 clip, interleaved\n",
                cycles, kClientWidth, kClientHeight);
    std::printf("%-16s %23s  %19s  %27s  %7s\n", "", "Play() to first frame",
                "committed private", "pagefile usage", "handles");
    std::printf("%-16s %7s %7s %7s  %9s %9s  %9s %9s %7s  %7s\n", "", "median", "min", "max",
                "median", "mean", "median", "mean", "95% +-", "mean");
    std::printf("%-16s %7s %7s %7s  %9s %9s  %9s %9s %7s  %7s\n", "", "ms", "ms", "ms",
                "KiB/cycle", "KiB/cycle", "KiB/cycle", "KiB/cycle", "KiB", "/cycle");
    for (int kind = 0; kind < kinds; ++kind)
        PrintRow(names[kind], results[kind]);
    std::vector<double> controlMs;
    std::vector<double> bareMs;
    for (const Cycle& c : results[kControl])
        controlMs.push_back(c.firstFrameMs);
    for (const Cycle& c : results[kBare])
        bareMs.push_back(c.firstFrameMs);
    std::printf("ratio control / bare, median time to first frame: %.3f\n",
                Median(controlMs) / Median(bareMs));
    std::printf("growth over all %d cycles: committed private %+.1f KiB, pagefile usage %+.1f KiB,"
                " handles %+ld\n",
                kinds * cycles, GrowthKiB(start.committed, end.committed),
                GrowthKiB(start.pagefile, end.pagefile),
                static_cast<long>(end.handles) - static_cast<long>(start.handles));
    if (timeouts)
        std::printf("WARNING: %d cycles saw no frame within 10 s\n", timeouts);

    DeleteFileA(redClip.c_str());
    DeleteFileA(blueClip.c_str());
    return timeouts ? 1 : 0;
}

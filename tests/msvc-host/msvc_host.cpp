// A host program built the way Visual Studio builds one: the MSVC C++ ABI
// (clang-cl), linked by an MSVC linker (lld-link), against the package's
// Lumarel.lib or by LoadLibrary/GetProcAddress.
//
// It calls every slot of IPlayerControl on a control playing a clip in its
// window and checks each answer and the picture on screen, so a table laid
// out differently from the DLL's shows at the first wrong slot; it destroys
// that control with `delete`, as the MSVC virtual destructor does it, and a
// second one, which paints a still frame, with DeletePlayerControl.
//
//   msvc_host_linked.exe CLIP.avi     (msvc_host_loaded.exe likewise)
//
// CLIP.avi: 320 x 180, four seconds, red, green, blue and white. Prints one
// line per check; the exit code is the number of failed checks.
//
// There is no C runtime here (the build machine has no MSVC libraries):
// the program starts at HostMain, writes with WriteFile and formats with
// wsprintfA, and uses nothing but the system DLLs and Lumarel.dll.
#include <windows.h>

#include "IPlayerControl.h"

// The MSVC ABI marks programs that use floating point with this symbol,
// which the C runtime defines.
extern "C" int _fltused = 0;

namespace {

const COLORREF kRed = 0x0000FF; // COLORREF is 0x00BBGGRR
const COLORREF kGreen = 0x00FF00;
const COLORREF kBlack = 0x000000;
const COLORREF kBlue = 0xFF0000;
const int kTolerance = 40;

// The only box a working open may show under Wine: its graph manager
// refuses the frame time format, and the control says so.
const char kMsgTimeFormat[] = "Can't set TIME format...";

int g_nFailures = 0;

void Print(const char* pszText)
{
    DWORD dwWritten = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), pszText, lstrlenA(pszText), &dwWritten, NULL);
}

void Check(bool ok, const char* pszWhat)
{
    Print(ok ? "ok: " : "FAILED: ");
    Print(pszWhat);
    Print("\n");
    if (!ok)
        ++g_nFailures;
}

// ---- Binding -------------------------------------------------------------

struct Exports
{
    HMODULE hLib;
    PFN_NewPlayerControl NewPlayerControl;
    PFN_DeletePlayerControl DeletePlayerControl;
    PFN_Test Test;
};

#ifdef MSVC_HOST_LOADS_LIBRARY
const char kBinding[] = "LoadLibrary/GetProcAddress";

Exports BindExports()
{
    Exports exports = {};
    exports.hLib = LoadLibraryA("Lumarel.dll");
    if (exports.hLib) {
        exports.NewPlayerControl =
            reinterpret_cast<PFN_NewPlayerControl>(GetProcAddress(exports.hLib, "NewPlayerControl"));
        exports.DeletePlayerControl = reinterpret_cast<PFN_DeletePlayerControl>(
            GetProcAddress(exports.hLib, "DeletePlayerControl"));
        exports.Test = reinterpret_cast<PFN_Test>(GetProcAddress(exports.hLib, "Test"));
    }
    return exports;
}
#else
const char kBinding[] = "import library Lumarel.lib";

Exports BindExports()
{
    Exports exports = {GetModuleHandleA("Lumarel.dll"), NewPlayerControl, DeletePlayerControl,
                       Test};
    return exports;
}
#endif

// ---- Message boxes -------------------------------------------------------
// The control's boxes are modal and owner-less; their loops dispatch this
// thread's messages, so a timer of the host window finds each box of this
// process, notes its text and presses OK.

const int kMaxBoxes = 8;
const int kBoxTextId = 0xFFFF;
char g_boxTexts[kMaxBoxes][128];
int g_nBoxes = 0;
HWND g_answered[kMaxBoxes];

bool AlreadyAnswered(HWND hBox)
{
    for (int i = 0; i < g_nBoxes && i < kMaxBoxes; ++i)
        if (g_answered[i] == hBox)
            return true;
    return false;
}

BOOL CALLBACK AnswerBox(HWND hWnd, LPARAM)
{
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    char className[64] = "";
    GetClassNameA(hWnd, className, sizeof(className));
    if (dwProcessId != GetCurrentProcessId() || lstrcmpA(className, "#32770") != 0
        || !IsWindowVisible(hWnd) || AlreadyAnswered(hWnd))
        return TRUE;
    if (g_nBoxes < kMaxBoxes) {
        g_answered[g_nBoxes] = hWnd;
        g_boxTexts[g_nBoxes][0] = '\0';
        GetWindowTextA(GetDlgItem(hWnd, kBoxTextId), g_boxTexts[g_nBoxes], 128);
    }
    ++g_nBoxes;
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hWnd, IDOK)));
    return TRUE;
}

// ---- The window and its pixels -------------------------------------------

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_TIMER) {
        EnumWindows(AnswerBox, 0);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void PumpMessages(DWORD dwMs)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < dwMs);
}

// Makes the window's client area width x height.
void SizeClient(HWND hWnd, int width, int height)
{
    RECT rcWindow, rcClient;
    GetWindowRect(hWnd, &rcWindow);
    GetClientRect(hWnd, &rcClient);
    const int frameX = (rcWindow.right - rcWindow.left) - rcClient.right;
    const int frameY = (rcWindow.bottom - rcWindow.top) - rcClient.bottom;
    SetWindowPos(hWnd, NULL, 0, 0, width + frameX, height + frameY, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages(100);
}

HWND CreateHostWindow(int width, int height)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "LumarelMsvcHost";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "Lumarel MSVC-ABI host",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, width, height, NULL,
                                NULL, wc.hInstance, NULL);
    if (hWnd) {
        SizeClient(hWnd, width, height);
        UpdateWindow(hWnd);
        SetTimer(hWnd, 1, 50, NULL);
    }
    return hWnd;
}

// The colour on screen at (x, y) of the window's client area.
COLORREF ClientPixel(HWND hWnd, int x, int y)
{
    POINT pt = {x, y};
    ClientToScreen(hWnd, &pt);
    HDC hScreen = GetDC(NULL);
    const COLORREF colour = GetPixel(hScreen, pt.x, pt.y);
    ReleaseDC(NULL, hScreen);
    return colour;
}

bool ColourNear(COLORREF a, COLORREF b)
{
    if (a == CLR_INVALID)
        return false;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF)
                               - static_cast<int>((b >> shift) & 0xFF);
        if (difference > kTolerance || difference < -kTolerance)
            return false;
    }
    return true;
}

struct Spot
{
    int x, y;
};

// True when every spot inside shows the colour and no spot outside does.
bool ShowsPicture(HWND hWnd, COLORREF colour, const Spot* inside, int nInside,
                  const Spot* outside, int nOutside)
{
    for (int i = 0; i < nInside; ++i)
        if (!ColourNear(ClientPixel(hWnd, inside[i].x, inside[i].y), colour))
            return false;
    for (int i = 0; i < nOutside; ++i)
        if (ColourNear(ClientPixel(hWnd, outside[i].x, outside[i].y), colour))
            return false;
    return true;
}

// Prints the colours at the spots, to tell a failed picture check's cause.
void PrintSpots(HWND hWnd, const char* pszWhich, const Spot* spots, int nSpots)
{
    char line[80];
    for (int i = 0; i < nSpots; ++i) {
        wsprintfA(line, "  %s (%d, %d): %06x\n", pszWhich, spots[i].x, spots[i].y,
                  ClientPixel(hWnd, spots[i].x, spots[i].y));
        Print(line);
    }
}

// Waits up to 5 s, dispatching messages, for the picture of that colour.
bool WaitForPicture(HWND hWnd, COLORREF colour, const Spot* inside, int nInside,
                    const Spot* outside, int nOutside)
{
    const DWORD start = GetTickCount();
    while (!ShowsPicture(hWnd, colour, inside, nInside, outside, nOutside)) {
        if (GetTickCount() - start > 5000) {
            PrintSpots(hWnd, "inside", inside, nInside);
            PrintSpots(hWnd, "outside", outside, nOutside);
            return false;
        }
        PumpMessages(50);
    }
    return true;
}

// Waits up to 5 s for a picture of any colour of the clip other than the
// one it showed before, covering the spots inside and none outside: the
// video window repaints the picture when a frame comes, and nothing else,
// so pixels left from before a resize have an earlier colour.
bool WaitForNextPicture(HWND hWnd, COLORREF before, const Spot* inside, int nInside,
                        const Spot* outside, int nOutside)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const COLORREF now = ClientPixel(hWnd, inside[0].x, inside[0].y);
        if (!ColourNear(now, before) && !ColourNear(now, kBlack)
            && ShowsPicture(hWnd, now, inside, nInside, outside, nOutside))
            return true;
        if (GetTickCount() - start > 5000) {
            PrintSpots(hWnd, "inside", inside, nInside);
            PrintSpots(hWnd, "outside", outside, nOutside);
            return false;
        }
        PumpMessages(50);
    }
}

bool Near(double value, double expected)
{
    return value > expected - 0.05 && value < expected + 0.05;
}

// ---- The checks ----------------------------------------------------------

// Every slot on a played control. The 320 x 180 picture fitted to a
// 640 x 480 client area is 640 x 360 from row 60; to 600 x 200 it is
// 355 x 200 from column 122 (spots keep a margin from the soft edges).
void PlayThroughEverySlot(const Exports& exports, HWND hWnd, const char* pszClip)
{
    const Spot inside480[] = {{320, 240}, {20, 80}, {620, 400}};
    const Spot outside480[] = {{320, 20}, {320, 460}};
    const Spot inside200[] = {{300, 100}, {140, 20}, {460, 180}};
    const Spot outside200[] = {{50, 100}, {550, 100}};

    IPlayerControl* control = exports.NewPlayerControl();
    Check(control != NULL, "NewPlayerControl gives a control");
    if (!control)
        return;
    Check(control->GetItemCount() == 0, "slot 10, GetItemCount, is 0");
    Check(control->GetItem(0) == NULL && control->GetItem(-1) == NULL,
          "slot 11, GetItem(0) and GetItem(-1), are null");
    Check(control->GetDuration() == 0.0, "slot 9, GetDuration, is 0 before Play");
    Check(control->GetPosition() == 0.0, "slot 8, GetPosition, is 0 before Play");
    Check(control->SetPosition(1.0) == 0, "slot 7, SetPosition, returns 0 before Play");
    Check(control->SetWindow(hWnd) == 0, "slot 1, SetWindow, returns 0");
    Check(control->SetFileName(pszClip) == 0, "slot 2, SetFileName, returns 0");

    Check(control->Play() == 1, "slot 4, Play, returns 1");
    Check(WaitForPicture(hWnd, kRed, inside480, 3, outside480, 2),
          "the first second (red) is on screen, centred with its aspect kept (640 x 480)");
    Check(Near(control->GetDuration(), 4.0), "slot 9, GetDuration, is 4 s after Play");

    SizeClient(hWnd, 600, 200);
    control->Resize();
    Check(WaitForNextPicture(hWnd, kRed, inside200, 3, outside200, 2),
          "slot 12, Resize, fits the picture to 600 x 200 (the clip goes on)");

    Check(control->Pause() == 1, "slot 6, Pause, returns 1");
    Check(control->SetPosition(2.5) == 1, "slot 7, SetPosition(2.5), returns 1 after Play");
    Check(Near(control->GetPosition(), 2.5), "slot 8, GetPosition, is where it was set");
    Check(WaitForPicture(hWnd, kBlue, inside200, 3, outside200, 2),
          "the third second (blue) is on screen after the seek");
    Check(control->Stop() == 1, "slot 5, Stop, returns 1");
    Check(Near(control->GetPosition(), 2.5), "stopped, the position stays");

    const HWND hVideo = GetWindow(hWnd, GW_CHILD);
    Check(hVideo && IsWindowVisible(hVideo), "the video window is a child of the window");
    delete control; // slot 0, the virtual destructor: destroys and frees in the DLL
    PumpMessages(100);
    Check(!IsWindow(hVideo), "slot 0, delete, stops the control and removes the video window");
}

// Slot 3 on a control that was never played: the still frame at 1.5 s
// (green) over the whole client area, kept as the sidecar beside the clip.
void ShowStillFrame(const Exports& exports, HWND hWnd, const char* pszClip)
{
    const Spot whole[] = {{300, 100}, {10, 10}, {590, 190}};
    char sidecar[300];
    lstrcpynA(sidecar, pszClip, 260);
    lstrcatA(sidecar, ".bmp");
    DeleteFileA(sidecar);

    IPlayerControl* control = exports.NewPlayerControl();
    Check(control != NULL, "NewPlayerControl gives a second control");
    if (!control)
        return;
    control->SetWindow(hWnd);
    control->SetFileName(pszClip);
    // The window has repainted its background where the video window was.
    PumpMessages(300);
    Check(control->ShowFrame(1.5) == 0, "slot 3, ShowFrame(1.5), returns 0");
    Check(WaitForPicture(hWnd, kGreen, whole, 3, NULL, 0),
          "the still frame at 1.5 s (green) covers the client area");
    Check(GetFileAttributesA(sidecar) != INVALID_FILE_ATTRIBUTES,
          "the still frame is kept beside the clip");
    exports.DeletePlayerControl(control);
    Check(DeleteFileA(sidecar) != 0, "DeletePlayerControl leaves no sidecar open");
}

void CheckTestExport(const Exports& exports)
{
    const int nBoxesBefore = g_nBoxes;
    // The window's timer answers the box from inside its modal loop.
    Check(exports.Test() == IDOK, "Test returns the box's answer, IDOK");
    Check(g_nBoxes == nBoxesBefore + 1 && lstrcmpA(g_boxTexts[nBoxesBefore], "Test!") == 0,
          "Test shows \"Test!\"");
}

// The first argument of the command line, without quotes.
void FirstArgument(char* pszOut, int cchOut)
{
    const char* p = GetCommandLineA();
    const bool bQuoted = *p == '"';
    for (++p; *p && (bQuoted ? *p != '"' : *p != ' '); ++p) {
    }
    if (*p == '"')
        ++p;
    while (*p == ' ')
        ++p;
    const bool bArgQuoted = *p == '"';
    if (bArgQuoted)
        ++p;
    int n = 0;
    while (p[n] && n < cchOut - 1 && (bArgQuoted ? p[n] != '"' : p[n] != ' '))
        ++n;
    lstrcpynA(pszOut, p, n + 1);
}

int Run()
{
    char line[400];
    wsprintfA(line, "MSVC-ABI host (%d-bit), bound through the %s\n",
              static_cast<int>(sizeof(void*) * 8), kBinding);
    Print(line);
    const Exports exports = BindExports();
    Check(exports.hLib && exports.NewPlayerControl && exports.DeletePlayerControl && exports.Test,
          "Lumarel.dll and its three exports are bound");
    char clip[260];
    FirstArgument(clip, sizeof(clip));
    Check(GetFileAttributesA(clip) != INVALID_FILE_ATTRIBUTES, "the clip is there");
    if (g_nFailures)
        return g_nFailures;

    HWND hWnd = CreateHostWindow(640, 480);
    Check(hWnd != NULL, "the host window is created");
    if (!hWnd)
        return g_nFailures;
    PlayThroughEverySlot(exports, hWnd, clip);
    ShowStillFrame(exports, hWnd, clip);

    bool bOnlyTimeFormat = g_nBoxes <= kMaxBoxes;
    for (int i = 0; i < g_nBoxes && i < kMaxBoxes; ++i) {
        wsprintfA(line, "message box: %s\n", g_boxTexts[i]);
        Print(line);
        bOnlyTimeFormat = bOnlyTimeFormat && lstrcmpA(g_boxTexts[i], kMsgTimeFormat) == 0;
    }
    Check(bOnlyTimeFormat, "the open showed no failure beyond the time format");

    CheckTestExport(exports);
    DestroyWindow(hWnd);
#ifdef MSVC_HOST_LOADS_LIBRARY
    FreeLibrary(exports.hLib);
#endif
    wsprintfA(line, "%d failed\n", g_nFailures);
    Print(line);
    return g_nFailures;
}

} // namespace

extern "C" void __cdecl HostMain()
{
    ExitProcess(static_cast<UINT>(Run()));
}

#include "HostWindow.h"

#include <shellapi.h>

#include <cstring>

#include "PlayerLibrary.h"

const char kHostClassName[] = "LUMARELTEST";
const char kHostCaption[] = "Lumarel Test";

HINSTANCE g_hInstance = NULL;
HWND g_hWnd = NULL;
IPlayerControl* g_pPlayer = NULL;
int g_bRunning = 0;
bool g_bNoErase = false;
HostDeferredRequests g_deferred;

namespace {

// The drop buffer holds a path of MAX_PATH bytes; the name read into it is
// limited to 255 characters and its terminator.
const UINT kDropNameLimit = 256;

// Marks a control operation as running for as long as it is in scope.
class ControlOperation
{
public:
    ControlOperation() { ++g_deferred.nDepth; }
    ~ControlOperation() { --g_deferred.nDepth; }

    ControlOperation(const ControlOperation&) = delete;
    ControlOperation& operator=(const ControlOperation&) = delete;
};

bool ControlBusy()
{
    return g_deferred.nDepth > 0;
}

IPlayerControl* NewControl()
{
    return g_pfnNewPlayerControl ? g_pfnNewPlayerControl() : NULL;
}

void DeleteControl(IPlayerControl* pControl)
{
    // Without the export, replaced controls are simply left alive.
    if (g_pfnDeletePlayerControl)
        g_pfnDeletePlayerControl(pControl);
}

void CreateFirstControl(HWND hWnd)
{
    ControlOperation operation;
    g_pPlayer = NewControl();
    if (g_pPlayer)
        g_pPlayer->SetWindow(hWnd);
}

void ResizeControl()
{
    if (!g_pPlayer)
        return;
    ControlOperation operation;
    g_pPlayer->Resize();
}

// WM_CLOSE: leave the loop and let go of the control. The window itself is
// not destroyed; the program ends when the loop ends.
void CloseHost(HWND hWnd)
{
    PostMessageA(hWnd, WM_QUIT, 0, 0);
    g_bRunning = 0;
    if (!g_pPlayer)
        return;
    ControlOperation operation;
    g_pPlayer->Stop();
    g_bNoErase = true;
    DeleteControl(g_pPlayer);
    g_pPlayer = NULL;
}

// Reads the first file of a drop and gives the drop handle back.
void TakeFirstDroppedFile(HDROP hDrop, char (&szFile)[MAX_PATH])
{
    szFile[0] = '\0';
    DragQueryFileA(hDrop, 0xFFFFFFFF, NULL, 0);   // the count: only the first file is used
    DragQueryFileA(hDrop, 0, szFile, kDropNameLimit);
    DragFinish(hDrop);
}

// Replaces the current control with a fresh one that plays pszFile.
void PlayDroppedFile(HWND hWnd, const char* pszFile)
{
    if (!g_pPlayer)
        return;
    ControlOperation operation;
    g_pPlayer->Stop();
    g_bNoErase = false;
    DeleteControl(g_pPlayer);
    g_pPlayer = NewControl();
    if (!g_pPlayer)
        return;
    g_pPlayer->SetWindow(hWnd);
    g_pPlayer->SetFileName(pszFile);
    g_pPlayer->Play();
    InvalidateRect(hWnd, NULL, TRUE);
    // Set again before the repaint just requested, so the repaint does not
    // paint over the video either.
    g_bNoErase = true;
}

// Runs what arrived during the operation that has just returned. A close
// wins over everything else; of several drops the latest counts, as each
// would replace the control made by the one before.
void CarryOutDeferredRequests(HWND hWnd)
{
    while (!ControlBusy()) {
        if (g_deferred.bClose) {
            g_deferred.bClose = g_deferred.bDrop = g_deferred.bResize = false;
            CloseHost(hWnd);
        } else if (g_deferred.bDrop) {
            // The new control fits its picture to the window when it opens.
            g_deferred.bDrop = g_deferred.bResize = false;
            char szFile[MAX_PATH];
            std::memcpy(szFile, g_deferred.szDropFile, sizeof(szFile));
            PlayDroppedFile(hWnd, szFile);
        } else if (g_deferred.bResize) {
            g_deferred.bResize = false;
            ResizeControl();
        } else {
            break;
        }
    }
}

void OnSize(HWND hWnd)
{
    if (ControlBusy()) {
        g_deferred.bResize = true;
        return;
    }
    ResizeControl();
    CarryOutDeferredRequests(hWnd);
}

void OnClose(HWND hWnd)
{
    if (ControlBusy()) {
        g_deferred.bClose = true;
        return;
    }
    CloseHost(hWnd);
    CarryOutDeferredRequests(hWnd);
}

void OnDropFiles(HWND hWnd, HDROP hDrop)
{
    if (!g_pPlayer) {
        DragFinish(hDrop);
        return;
    }
    char szFile[MAX_PATH];
    TakeFirstDroppedFile(hDrop, szFile);
    if (ControlBusy()) {
        std::memcpy(g_deferred.szDropFile, szFile, sizeof(szFile));
        g_deferred.bDrop = true;
        return;
    }
    PlayDroppedFile(hWnd, szFile);
    CarryOutDeferredRequests(hWnd);
}

} // namespace

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateFirstControl(hWnd);
        return 0;
    case WM_SIZE:
    case WM_SIZING:
        OnSize(hWnd);
        return 0;
    case WM_CLOSE:
        OnClose(hWnd);
        return 0;
    case WM_ERASEBKGND:
        if (g_bNoErase)
            return 0;
        break;
    case WM_SYSCOMMAND:
        // No screen saver and no monitor power-down while this window has
        // the focus; every other system command works as usual.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_DROPFILES:
        OnDropFiles(hWnd, reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

bool RegisterHostClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = g_hInstance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    // A system colour index plus one: the inactive caption colour.
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INACTIVECAPTION + 1));
    wc.lpszClassName = kHostClassName;
    return RegisterClassExA(&wc) != 0;
}

HWND CreateHostWindow()
{
    return CreateWindowExA(WS_EX_APPWINDOW, kHostClassName, kHostCaption, WS_OVERLAPPEDWINDOW,
                           50, 50, 800, 600, NULL, NULL, g_hInstance, NULL);
}

void RunMessageLoop()
{
    MSG msg;
    do {
        for (;;) {
            const BOOL result = GetMessageA(&msg, g_hWnd, 0, 0);
            if (result == 0)
                break;
            if (result == -1)
                return;   // the window is gone: nothing can arrive any more
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } while (g_bRunning);
}

int RunHost(HINSTANCE hInstance)
{
    g_hInstance = hInstance;
    if (!RegisterHostClass())
        MessageBoxA(NULL, "RegisterClassEx Failed!", "Error", MB_ICONWARNING | MB_OK);
    g_hWnd = CreateHostWindow();
    if (!g_hWnd)
        return 1;   // no window to take messages from
    ShowWindow(g_hWnd, SW_SHOWNORMAL);
    DragAcceptFiles(g_hWnd, TRUE);
    g_bRunning = 1;
    RunMessageLoop();
    return 0;
}

// HostWindow: the test host's main window. It keeps one player control, turns
// a dropped file into a fresh control that plays it, re-fits the picture when
// the window is sized, and ends the program when the window is closed.
#ifndef LUMAREL_HOSTWINDOW_H
#define LUMAREL_HOSTWINDOW_H

#include <windows.h>

#include "IPlayerControl.h"

extern const char kHostClassName[];   // "LUMARELTEST"
extern const char kHostCaption[];     // "Lumarel Test"

extern HINSTANCE g_hInstance;
extern HWND g_hWnd;
extern IPlayerControl* g_pPlayer;     // the current control, owned by the host
extern int g_bRunning;                // the message loop goes on while non-zero
extern bool g_bNoErase;               // while true, background erasing is suppressed

// The control shows owner-less modal message boxes, whose loops dispatch this
// window's messages while the control is still inside an operation. A close,
// a drop or a size change that arrives then waits here and is carried out
// once the operation has returned.
struct HostDeferredRequests
{
    int nDepth = 0;                   // control operations running (nested)
    bool bClose = false;
    bool bDrop = false;
    bool bResize = false;
    char szDropFile[MAX_PATH] = "";   // the first file of the latest drop
};
extern HostDeferredRequests g_deferred;

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the window class "LUMARELTEST" for g_hInstance.
bool RegisterHostClass();

// Creates the 800 x 600 window "Lumarel Test" at 50, 50 (not yet shown).
HWND CreateHostWindow();

// Runs the message loop of g_hWnd until the window is closed, or until the
// window can no longer deliver messages.
void RunMessageLoop();

// The whole program: registers the class, opens the window, accepts dropped
// files and runs the loop. Returns 0 after a close, 1 when no window could
// be created.
int RunHost(HINSTANCE hInstance);

#endif

// IPlayerControl.h: everything a host program needs to use Lumarel.dll.
//
// IN SHORT
//   IPlayerControl* p = NewPlayerControl();    // null only when out of memory
//   p->SetWindow(hWnd);                        // the window to play in
//   p->SetFileName("C:\\clips\\a.avi");        // copied
//   p->Play();                                 // opens the file, plays
//   ...                                        // p->Resize() on WM_SIZE
//   p->Stop();
//   DeletePlayerControl(p);                    // or, from MSVC, `delete p`
//
// COMPILER RULE
//   IPlayerControl is a C++ virtual table and hosts call it by slot. Slots
//   are numbered in declaration order below: the destructor is slot 0,
//   SetWindow 1, ... Resize 12: 13 entries, laid out the Windows way (one
//   entry for the destructor, as MSVC lays it out). The order never
//   changes. Any compiler that lays out single-inheritance virtual tables
//   the Windows way can build a host: MSVC, clang-cl, MinGW-w64 GCC and
//   clang. MSVC and clang-cl see a virtual destructor; GCC and clang for
//   MinGW, which would give a virtual destructor two entries, see slot 0
//   spelled out as the function MSVC puts there; both are the same table.
//   The host's architecture must match the DLL's: the 32-bit Lumarel.dll
//   for a 32-bit host, the 64-bit one for a 64-bit host.
//
// EXPORTS (undecorated names, C calling convention)
//   NewPlayerControl()      A new, empty control (no window, no file), owned
//                           by the caller; null when it cannot be allocated.
//                           Calls CoInitialize(NULL) on the calling thread,
//                           whatever the thread already uses, and never
//                           uninitialises COM.
//   DeletePlayerControl(p)  Stops a played control and destroys it. Null does
//                           nothing. From MSVC or clang-cl, `delete p` does
//                           the same (through slot 0, which frees with the
//                           DLL's own heap); never free a control any other
//                           way.
//   Test()                  Shows the message box "Test!" (caption "!") and
//                           returns its answer (IDOK).
//   Link them through the import library of the package (lib/Lumarel.lib
//   for MSVC and clang-cl, lib/libLumarel.dll.a for MinGW), or
//   LoadLibraryA("Lumarel.dll") and GetProcAddress these names into the
//   PFN_ types below.
//
// THREADING
//   One thread: create, call and destroy a control on the host's user
//   interface thread, which runs the message loop. The library has no locks
//   and one thread of its own: ShowFrame's grab through a graph, which the
//   calling thread waits for, at most 10 s (DirectShow streams on threads of
//   its own).
//
// FAILURES AND MESSAGE BOXES
//   Failures are shown to the user, not returned: each platform failure the
//   control checks for shows a modal message box without an owner window
//   (caption "Error", or "Error!" for the still frame; OK button; no icon),
//   and the operation then goes on unless said otherwise below. The texts
//   are listed at each operation. No exception leaves the DLL.
//   While such a box waits for OK, its modal loop dispatches the host's own
//   messages (WM_SIZE, WM_CLOSE, WM_DROPFILES, timers, ...). A handler
//   running then must make no call on that control and must not destroy it
//   (the operation is still running on the stack below): defer the request
//   until the call returns. LumarelTest.exe defers closes, drops and sizes.
//
// OWNERSHIP
//   Strings passed in are copied. Strings returned (GetItem) stay owned by
//   the control and live as long as it does. The window is the host's: the
//   control makes its video window a child of it, so destroy the control
//   before the window.
//
// TEXT, TIMES
//   Paths are 8-bit strings in the ANSI code page, shorter than 260
//   characters. Times and positions are seconds.
#ifndef LUMAREL_IPLAYERCONTROL_H
#define LUMAREL_IPLAYERCONTROL_H

#include <windows.h>

class IPlayerControl
{
public:
#if defined(_MSC_VER)
    // 0: Stops the graph if the control was played and releases everything;
    // shows nothing. `delete p` destroys the control here (the DLL frees its
    // memory with its own allocator), as DeletePlayerControl(p) does.
    virtual ~IPlayerControl() {}
#else
    // 0: The same slot as the virtual destructor above, spelled out: GCC and
    // clang for MinGW would give a virtual destructor two entries, MSVC
    // gives it one, which takes these flags. Both branches describe one
    // table of 13 entries. Destroys the control; bit 0 of flags also frees
    // its memory. Returns the control's address. MinGW hosts destroy a
    // control with DeletePlayerControl(p).
    virtual void* ScalarDeletingDestructor(unsigned int flags) = 0;

protected:
    // Not virtual: slot 0 above is the table's destructor.
    ~IPlayerControl() {}

public:
#endif

    // 1: The window to play and paint in. Returns 0. Takes effect on the
    // first Play (or ShowFrame); a window set after the first Play does not
    // move the video.
    virtual int SetWindow(HWND hWnd) = 0;

    // 2: The media file (null is taken as ""). Returns 0. Takes effect on the
    // first Play: one control per file.
    virtual int SetFileName(const char* pszFile) = 0;

    // 3: Paints a still picture of the file, stretched over the whole client
    // area, without playing. The first call takes the picture from the
    // sidecar "<file>.bmp" next to the media file, or, without one, grabs
    // the frame at streamTime (320 x 200) and writes that sidecar for later
    // controls. Later calls repaint the same picture, whatever streamTime.
    // Returns 0, also when nothing could be painted (no window, a file that
    // cannot be read, an invalid sidecar, which is never replaced);
    // E_OUTOFMEMORY or E_FAIL when the grabbed frame could not be fetched
    // (no picture from this control then). Box: "Can't create IMediaDet
    // object.." (caption "Error!") when the system has no media detector;
    // the frame is then grabbed through a graph, given up after 10 s.
    virtual int ShowFrame(double streamTime) = 0;

    // 4: Plays. The first call opens the file: it builds the playback
    // graph, makes the video window a child covering the client area, fits
    // the picture (aspect kept, centred) and reads the duration; later calls
    // only resume. Returns 1 in every case. The end of the media is not
    // reported: the last frame stays. Boxes, first call only:
    //   "Can't create CLSID_FilterGraph"  no graph: nothing plays, ever
    //   "Can't render file..."            missing, not media, path too long
    //   "FAILED(hr = g_pGB.QueryInterface(&...))"  a control interface is
    //                                     missing (&g_pMC also for position)
    //   "Can't calc file duration..."     no duration (GetDuration gives 0)
    //   "Can't set TIME format..."        no frame count; the duration in
    //                                     seconds is kept (seen under Wine)
    //   "Can't GetDuration..."            no frame count either
    virtual int Play() = 0;

    // 5: Stops without rewinding (the next Play goes on from there).
    // Returns 1; does nothing before the first Play.
    virtual int Stop() = 0;

    // 6: Pauses on the current frame. Returns 1; does nothing before the
    // first Play.
    virtual int Pause() = 0;

    // 7: Seeks to seconds. Returns 1, or 0 (and does nothing) before the
    // first Play.
    virtual int SetPosition(double seconds) = 0;

    // 8: The playing position in seconds; 0.0 before the first Play or when
    // it cannot be read.
    virtual double GetPosition() = 0;

    // 9: The duration in seconds, read by the first Play; 0.0 before it or
    // when it could not be read.
    virtual double GetDuration() = 0;

    // 10: The number of items. Always 0 from this library.
    virtual int GetItemCount() = 0;

    // 11: Item index's text, owned by the control (do not free it), valid
    // while the control lives; null for an index outside 0 to count - 1,
    // and so for every index here.
    virtual const char* GetItem(int index) = 0;

    // 12: Fits the picture to the window's current client area; call it on
    // WM_SIZE. Does nothing before the first Play or without a window.
    virtual void Resize() = 0;
};

// The library's exports, by these undecorated names (see EXPORTS above).
extern "C" {
IPlayerControl* NewPlayerControl();
void DeletePlayerControl(IPlayerControl* pControl);
int Test();

typedef IPlayerControl* (*PFN_NewPlayerControl)();
typedef void (*PFN_DeletePlayerControl)(IPlayerControl* pControl);
typedef int (*PFN_Test)();
}

#endif

// IPlayerControl: the operation table shared by Lumarel.dll and its hosts.
//
// Hosts call by slot, so the order of the declarations below is part of the
// binary interface and must never change:
//   0 destructor, 1 SetWindow, 2 SetFileName, 3 ShowFrame, 4 Play, 5 Stop,
//   6 Pause, 7 SetPosition, 8 GetPosition, 9 GetDuration, 10 GetItemCount,
//   11 GetItem, 12 Resize.
#ifndef LUMAREL_IPLAYERCONTROL_H
#define LUMAREL_IPLAYERCONTROL_H

#include <windows.h>

class IPlayerControl
{
public:
    virtual ~IPlayerControl() {}

    virtual int SetWindow(HWND hWnd) = 0;
    virtual int SetFileName(const char* pszFile) = 0;
    virtual int ShowFrame(double streamTime) = 0;
    virtual int Play() = 0;
    virtual int Stop() = 0;
    virtual int Pause() = 0;
    virtual int SetPosition(double seconds) = 0;
    virtual double GetPosition() = 0;
    virtual double GetDuration() = 0;
    virtual int GetItemCount() = 0;
    virtual const char* GetItem(int index) = 0;
    virtual void Resize() = 0;
};

// The library's exports, looked up by these undecorated names.
extern "C" {
typedef IPlayerControl* (*PFN_NewPlayerControl)();
typedef void (*PFN_DeletePlayerControl)(IPlayerControl* pControl);
typedef int (*PFN_Test)();
}

#endif

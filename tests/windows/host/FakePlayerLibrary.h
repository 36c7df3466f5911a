// FakePlayerLibrary: stands in for Lumarel.dll's two exports. Its controls
// write every call into one shared log ("2 Play", "1 delete"...) and can run
// a hook inside Play, to hold an operation open as a message box would.
#ifndef LUMAREL_TESTS_FAKEPLAYERLIBRARY_H
#define LUMAREL_TESTS_FAKEPLAYERLIBRARY_H

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "IPlayerControl.h"

class FakeControl;

struct FakeLibraryState
{
    std::vector<std::string> log;
    int nNextId = 1;
    bool bNewFails = false;              // NewPlayerControl answers null
    HWND hLastWindow = NULL;             // given to the latest SetWindow
    std::function<void(int id)> onSetWindow;
    std::function<void(int id)> onPlay;  // runs inside Play
    std::set<FakeControl*> live;         // made and not yet deleted
};

extern FakeLibraryState g_fake;

IPlayerControl* FakeNewPlayerControl();
void FakeDeletePlayerControl(IPlayerControl* pControl);

// Fresh state; deletes controls the host left alive.
void ResetFakeLibrary();

#endif

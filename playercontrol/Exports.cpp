// The library's three exports (undecorated names, see Lumarel.def).
#include "CPlayerControl.h"

#include <new>

extern "C" IPlayerControl* NewPlayerControl()
{
    return new (std::nothrow) CPlayerControl();
}

extern "C" void DeletePlayerControl(IPlayerControl* pControl)
{
    // Through slot 0, as an MSVC host's `delete pControl` goes: destroy and free.
    if (pControl)
        pControl->ScalarDeletingDestructor(1);
}

extern "C" int Test()
{
    return DefaultPlatformServices().ShowMessageBox("Test!", "!", MB_OK);
}

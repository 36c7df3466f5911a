// The library's three exports (undecorated names, see Lumarel.def).
#include "CPlayerControl.h"

#include <new>

extern "C" IPlayerControl* NewPlayerControl()
{
    return new (std::nothrow) CPlayerControl();
}

extern "C" void DeletePlayerControl(IPlayerControl* pControl)
{
    delete pControl;
}

extern "C" int Test()
{
    return DefaultPlatformServices().ShowMessageBox("Test!", "!", MB_OK);
}

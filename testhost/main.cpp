// LumarelTest: one window that plays whatever media file is dropped onto it.
#include <windows.h>

#include "IPlayerControl.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}

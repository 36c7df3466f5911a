// LumarelTest: one window that plays whatever media file is dropped onto it.
#include <windows.h>

#include "HostWindow.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return RunHost(hInstance);
}

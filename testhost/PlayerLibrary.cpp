#include "PlayerLibrary.h"

HMODULE g_hPlayerLib = NULL;
PFN_NewPlayerControl g_pfnNewPlayerControl = NULL;
PFN_DeletePlayerControl g_pfnDeletePlayerControl = NULL;

namespace {

template <class Pfn> Pfn LookUp(HMODULE hModule, const char* pszName)
{
    // GetProcAddress answers with a generic function pointer; the export's
    // real type is the one the interface header gives.
    return reinterpret_cast<Pfn>(reinterpret_cast<void*>(GetProcAddress(hModule, pszName)));
}

} // namespace

bool BindPlayerLibrary(const char* pszFile)
{
    g_hPlayerLib = LoadLibraryA(pszFile);
    if (!g_hPlayerLib)
        return false;
    g_pfnNewPlayerControl = LookUp<PFN_NewPlayerControl>(g_hPlayerLib, "NewPlayerControl");
    g_pfnDeletePlayerControl = LookUp<PFN_DeletePlayerControl>(g_hPlayerLib, "DeletePlayerControl");
    return true;
}

void UnbindPlayerLibrary()
{
    if (g_hPlayerLib) {
        FreeLibrary(g_hPlayerLib);
        g_hPlayerLib = NULL;
    }
    g_pfnNewPlayerControl = NULL;
    g_pfnDeletePlayerControl = NULL;
}

// PlayerLibrary: the host's binding to the player control library, looked up
// by name at run time so the host also starts when the library is missing.
#ifndef LUMAREL_PLAYERLIBRARY_H
#define LUMAREL_PLAYERLIBRARY_H

#include <windows.h>

#include "IPlayerControl.h"

// Null until bound; each export that is missing stays null.
extern HMODULE g_hPlayerLib;
extern PFN_NewPlayerControl g_pfnNewPlayerControl;
extern PFN_DeletePlayerControl g_pfnDeletePlayerControl;

// Loads pszFile (default search order) and looks up both exports by name.
// False when the library did not load.
bool BindPlayerLibrary(const char* pszFile);

// Frees the library if it was loaded and clears both function pointers.
void UnbindPlayerLibrary();

#endif

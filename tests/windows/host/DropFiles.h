// MakeDrop: a shell drop handle (a DROPFILES block in global memory) naming
// the given files, as the shell hands it over with WM_DROPFILES.
#ifndef LUMAREL_TESTS_DROPFILES_H
#define LUMAREL_TESTS_DROPFILES_H

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

inline HDROP MakeDrop(const std::vector<std::string>& files, bool bWide = false)
{
    const size_t charSize = bWide ? sizeof(WCHAR) : 1;
    size_t size = sizeof(DROPFILES) + charSize;   // the list ends with an empty name
    for (const std::string& file : files)
        size += (file.size() + 1) * charSize;
    HGLOBAL hDrop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE* pBlock = static_cast<BYTE*>(GlobalLock(hDrop));
    DROPFILES* pHeader = reinterpret_cast<DROPFILES*>(pBlock);
    pHeader->pFiles = sizeof(DROPFILES);
    pHeader->fWide = bWide;
    BYTE* pName = pBlock + sizeof(DROPFILES);
    for (const std::string& file : files) {
        for (size_t i = 0; i < file.size(); ++i) {
            if (bWide)
                reinterpret_cast<WCHAR*>(pName)[i] = static_cast<unsigned char>(file[i]);
            else
                pName[i] = static_cast<BYTE>(file[i]);
        }
        pName += (file.size() + 1) * charSize;
    }
    GlobalUnlock(hDrop);
    return static_cast<HDROP>(hDrop);
}

// True once the drop handle has been given back (DragFinish frees it).
inline bool DropReleased(HDROP hDrop)
{
    return GlobalFlags(hDrop) == GMEM_INVALID_HANDLE;
}

#endif

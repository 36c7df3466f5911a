// RealLibrary: the shipped Lumarel.dll, loaded by path from beside the test
// program, with its three exports.
#ifndef LUMAREL_TESTS_REALLIBRARY_H
#define LUMAREL_TESTS_REALLIBRARY_H

#include <windows.h>

#include <string>

#include "IPlayerControl.h"

class RealLibrary
{
public:
    RealLibrary()
    {
        m_hLib = LoadLibraryA(PathBesideProgram("Lumarel.dll").c_str());
        if (m_hLib) {
            NewPlayerControl = reinterpret_cast<PFN_NewPlayerControl>(
                reinterpret_cast<void*>(GetProcAddress(m_hLib, "NewPlayerControl")));
            DeletePlayerControl = reinterpret_cast<PFN_DeletePlayerControl>(
                reinterpret_cast<void*>(GetProcAddress(m_hLib, "DeletePlayerControl")));
            Test = reinterpret_cast<PFN_Test>(
                reinterpret_cast<void*>(GetProcAddress(m_hLib, "Test")));
        }
    }
    ~RealLibrary()
    {
        if (m_hLib)
            FreeLibrary(m_hLib);
    }
    RealLibrary(const RealLibrary&) = delete;
    RealLibrary& operator=(const RealLibrary&) = delete;

    bool Loaded() const
    {
        return m_hLib && NewPlayerControl && DeletePlayerControl && Test;
    }

    static std::string PathBesideProgram(const char* pszName)
    {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(NULL, path, MAX_PATH);
        std::string dir(path);
        dir.erase(dir.find_last_of("\\/") + 1);
        return dir + pszName;
    }

    PFN_NewPlayerControl NewPlayerControl = nullptr;
    PFN_DeletePlayerControl DeletePlayerControl = nullptr;
    PFN_Test Test = nullptr;

private:
    HMODULE m_hLib = NULL;
};

#endif

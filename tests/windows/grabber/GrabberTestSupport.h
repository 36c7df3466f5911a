// Helpers shared by the grabber's tests: clips, and a
// platform that forwards to COM while recording what it was asked for.
#ifndef LUMAREL_TESTS_GRABBERTESTSUPPORT_H
#define LUMAREL_TESTS_GRABBERTESTSUPPORT_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AviClip.h"
#include "PlatformServices.h"
#include "TempDir.h"

inline std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                               OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(hFile, chunk, sizeof(chunk), &got, NULL) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(hFile);
    return bytes;
}

inline bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    const bool ok = WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                              NULL) && done == bytes.size();
    CloseHandle(hFile);
    return ok;
}

// Forwards object creation to COM, recording each class asked for, and can
// refuse chosen classes as if they were not installed.
class RecordingPlatform : public IPlatformServices
{
public:
    HRESULT CreateInstance(REFCLSID clsid, DWORD dwClsContext, REFIID iid,
                           void** ppv) override
    {
        created.push_back(ClassName(clsid));
        for (const std::string& name : missing)
            if (name == ClassName(clsid)) {
                *ppv = NULL;
                return REGDB_E_CLASSNOTREG;
            }
        return CoCreateInstance(clsid, NULL, dwClsContext, iid, ppv);
    }
    int ShowMessageBox(const char* pszText, const char*, UINT) override
    {
        boxes.push_back(pszText);
        return IDOK;
    }

    static std::string ClassName(REFCLSID clsid)
    {
        WCHAR wsz[64] = L"";
        StringFromGUID2(clsid, wsz, 64);
        char sz[64] = "";
        WideCharToMultiByte(CP_ACP, 0, wsz, -1, sz, sizeof(sz), NULL, NULL);
        return sz;
    }

    std::vector<std::string> created;
    std::vector<std::string> missing;
    std::vector<std::string> boxes;
};

const char* const kFilterGraphClass = "{E436EBB3-524F-11CE-9F53-0020AF0BA770}";
const char* const kSampleGrabberClass = "{C1F400A0-3F08-11D3-9F0B-006008039E37}";
const char* const kNullRendererClass = "{C1F400A4-3F08-11D3-9F0B-006008039E37}";

// COM for the test's thread, as the control has it.
class ComScope
{
public:
    ComScope() { CoInitialize(NULL); }
    ~ComScope() { CoUninitialize(); }
};

#endif

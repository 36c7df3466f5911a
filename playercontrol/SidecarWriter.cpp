#include "SidecarWriter.h"

#include <windows.h>

#include <cstdio>

namespace {

// A name beside path that no other writer, in this process or another, is
// using at the same moment.
std::string TemporaryNameBeside(const std::string& path)
{
    static LONG s_nCounter = 0;
    char suffix[48];
    std::snprintf(suffix, sizeof(suffix), ".%lu-%ld.tmp",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<long>(InterlockedIncrement(&s_nCounter)));
    return path + suffix;
}

bool WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    // CREATE_NEW: never truncates a file that happens to have this name.
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    size_t written = 0;
    while (ok && written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(
            bytes.size() - written > 0x10000000 ? 0x10000000 : bytes.size() - written);
        DWORD done = 0;
        ok = WriteFile(hFile, bytes.data() + written, chunk, &done, NULL) && done == chunk;
        written += done;
    }
    ok = CloseHandle(hFile) && ok;
    if (!ok)
        DeleteFileA(path.c_str());
    return ok;
}

} // namespace

bool WriteFileIfAbsent(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const std::string temporary = TemporaryNameBeside(path);
    if (!WriteNewFile(temporary, bytes))
        return false;
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when a file got
    // there first: that one stays, ours goes.
    if (!MoveFileExA(temporary.c_str(), path.c_str(), 0)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

// TempDir: a fresh folder of a test's own under the temporary folder,
// removed with what the test put in it.
#ifndef LUMAREL_TESTS_TEMPDIR_H
#define LUMAREL_TESTS_TEMPDIR_H

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

class TempDir
{
public:
    TempDir()
    {
        char base[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, base);
        // A name that is taken is passed over: a process that ended without
        // cleaning up (a test's child process) may have left its folder, and
        // its process id comes round again.
        static int s_nFolder = 0;
        do {
            m_path = std::string(base) + "lumarel-test-" + std::to_string(GetCurrentProcessId())
                     + "-" + std::to_string(++s_nFolder);
        } while (!CreateDirectoryA(m_path.c_str(), NULL) &&
                 GetLastError() == ERROR_ALREADY_EXISTS);
    }
    ~TempDir()
    {
        // Files go, then the (empty) folders a test made, then the folder.
        for (const std::string& name : Names())
            if (!DeleteFileA(Path(name).c_str()))
                RemoveDirectoryA(Path(name).c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return m_path + "\\" + name; }

    // The names of the files and folders in it, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA(Path("*").c_str(), &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = fd.cFileName;
                if (name != "." && name != "..")
                    names.push_back(name);
            } while (FindNextFileA(hFind, &fd));
            FindClose(hFind);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};

#endif

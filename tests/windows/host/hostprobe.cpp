// hostprobe: looks at a running LumarelTest.exe from a second Windows
// process, for the end-to-end tests.
//
//   hostprobe answer SECONDS      presses OK on each message box of the host's
//                                 process until the process ends (or SECONDS
//                                 pass); then prints "caption|text|icon" per box
//   hostprobe wait-box TEXT SECONDS
//                                 waits until the host shows a box with TEXT,
//                                 without answering it
//   hostprobe children            prints the host window's child windows:
//                                 "children N", then "CLASS visible|hidden WxH"
//   hostprobe tree                prints every window of the host's process
//   hostprobe close               posts WM_CLOSE to the host window
//
// Exit code 0 on success, 1 when the host window or the box is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "MessageBoxWatcher.h"

namespace {

HWND FindHost(DWORD dwTimeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND hWnd = FindWindowA("LUMARELTEST", "Lumarel Test");
        if (hWnd || GetTickCount() - start > dwTimeoutMs)
            return hWnd;
        Sleep(50);
    }
}

DWORD ProcessOf(HWND hWnd)
{
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    return dwProcessId;
}

int Answer(HWND hHost, DWORD dwSeconds)
{
    const DWORD dwProcessId = ProcessOf(hHost);
    HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, dwProcessId);
    std::vector<SeenMessageBox> seen;
    {
        MessageBoxWatcher watcher(dwProcessId);
        if (hProcess) {
            WaitForSingleObject(hProcess, dwSeconds * 1000);
            CloseHandle(hProcess);
        } else {
            Sleep(dwSeconds * 1000);
        }
        seen = watcher.Seen();
    }
    for (const SeenMessageBox& box : seen)
        std::printf("%s|%s|%s\n", box.caption.c_str(), box.text.c_str(), box.hasIcon ? "icon" : "no icon");
    return 0;
}

struct BoxSearch
{
    DWORD dwProcessId;
    const char* pszText;
    bool bFound;
};

BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(lParam);
    char className[64] = "";
    char text[512] = "";
    GetClassNameA(hWnd, className, sizeof(className));
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(hWnd)
        || ProcessOf(hWnd) != search->dwProcessId)
        return TRUE;
    GetWindowTextA(GetDlgItem(hWnd, 0xFFFF), text, sizeof(text));
    if (std::strcmp(text, search->pszText) == 0)
        search->bFound = true;
    return !search->bFound;
}

int WaitBox(HWND hHost, const char* pszText, DWORD dwSeconds)
{
    BoxSearch search = {ProcessOf(hHost), pszText, false};
    const DWORD start = GetTickCount();
    while (!search.bFound && GetTickCount() - start < dwSeconds * 1000) {
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (!search.bFound)
            Sleep(50);
    }
    std::printf("%s\n", search.bFound ? "shown" : "not shown");
    return search.bFound ? 0 : 1;
}

BOOL CALLBACK ListChild(HWND hWnd, LPARAM lParam)
{
    std::vector<HWND>* children = reinterpret_cast<std::vector<HWND>*>(lParam);
    children->push_back(hWnd);
    return TRUE;
}

int Children(HWND hHost)
{
    std::vector<HWND> all;
    EnumChildWindows(hHost, ListChild, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> direct;
    for (HWND hWnd : all)
        if (GetAncestor(hWnd, GA_PARENT) == hHost)
            direct.push_back(hWnd);
    std::printf("children %u\n", static_cast<unsigned>(direct.size()));
    for (HWND hWnd : direct) {
        char className[128] = "";
        RECT rc = {};
        GetClassNameA(hWnd, className, sizeof(className));
        GetWindowRect(hWnd, &rc);
        std::printf("%s %s %ldx%ld\n", className, IsWindowVisible(hWnd) ? "visible" : "hidden",
                    rc.right - rc.left, rc.bottom - rc.top);
    }
    return 0;
}

struct ProcessWindows
{
    DWORD dwProcessId;
    std::vector<HWND> windows;
};

BOOL CALLBACK ListTopLevel(HWND hWnd, LPARAM lParam)
{
    ProcessWindows* list = reinterpret_cast<ProcessWindows*>(lParam);
    if (ProcessOf(hWnd) == list->dwProcessId)
        list->windows.push_back(hWnd);
    return TRUE;
}

void PrintWindow(HWND hWnd, int depth)
{
    char className[128] = "";
    char title[128] = "";
    RECT rc = {};
    GetClassNameA(hWnd, className, sizeof(className));
    GetWindowTextA(hWnd, title, sizeof(title));
    GetWindowRect(hWnd, &rc);
    std::printf("%*s%p %s \"%s\" %s (%ld,%ld)-(%ld,%ld) style %08lx parent %p owner %p\n", depth * 2, "",
                static_cast<void*>(hWnd), className, title, IsWindowVisible(hWnd) ? "visible" : "hidden",
                rc.left, rc.top, rc.right, rc.bottom, static_cast<unsigned long>(GetWindowLongA(hWnd, GWL_STYLE)),
                static_cast<void*>(GetParent(hWnd)), static_cast<void*>(GetWindow(hWnd, GW_OWNER)));
    for (HWND hChild = GetWindow(hWnd, GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT))
        PrintWindow(hChild, depth + 1);
}

// Every top-level window of the host's process and the windows inside them.
int Tree(HWND hHost)
{
    ProcessWindows list = {ProcessOf(hHost), {}};
    EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&list));
    for (HWND hWnd : list.windows)
        PrintWindow(hWnd, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: hostprobe answer SECONDS | wait-box TEXT SECONDS | children | close\n");
        return 2;
    }
    const std::string command = argv[1];
    HWND hHost = FindHost(30000);
    if (!hHost) {
        std::fprintf(stderr, "hostprobe: no \"Lumarel Test\" window\n");
        return 1;
    }
    if (command == "answer" && argc == 3)
        return Answer(hHost, static_cast<DWORD>(std::atoi(argv[2])));
    if (command == "wait-box" && argc == 4)
        return WaitBox(hHost, argv[2], static_cast<DWORD>(std::atoi(argv[3])));
    if (command == "children")
        return Children(hHost);
    if (command == "tree")
        return Tree(hHost);
    if (command == "close")
        return PostMessageA(hHost, WM_CLOSE, 0, 0) ? 0 : 1;
    std::fprintf(stderr, "hostprobe: unknown command\n");
    return 2;
}

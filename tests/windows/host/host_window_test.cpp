// The test host in-process: its window procedure driven with real messages
// (real windows, real drop handles, real message boxes) against a fake
// control library, its binding of real and incomplete libraries, and its
// main function from start to close.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DropFiles.h"
#include "FakePlayerLibrary.h"
#include "HostWindow.h"
#include "MessageBoxWatcher.h"
#include "PlayerLibrary.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

std::string BesideProgram(const char* pszName)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string dir(path);
    dir.erase(dir.find_last_of("\\/") + 1);
    return dir + pszName;
}

// Takes the WM_QUIT the host posts to its window on close, if there is one.
bool TakeQuit(HWND hWnd)
{
    MSG msg;
    return PeekMessageA(&msg, hWnd, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// Sends WM_ERASEBKGND with a memory DC painted in an odd colour and reports
// whether the window painted over it.
bool ErasesBackground(HWND hWnd)
{
    const COLORREF kOdd = RGB(0x12, 0x34, 0x56);
    HDC hdc = CreateCompatibleDC(NULL);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 8;
    bmi.bmiHeader.biHeight = 8;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HBITMAP hBitmap = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    HBRUSH hOdd = CreateSolidBrush(kOdd);
    RECT rc = {0, 0, 8, 8};
    FillRect(hdc, &rc, hOdd);
    SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    const COLORREF after = GetPixel(hdc, 4, 4);
    SelectObject(hdc, hOld);
    DeleteObject(hOdd);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
    return after != kOdd;
}

const std::vector<std::string> kFirstDropOfA = {
    "1 Stop", "1 delete", "2 new", "2 SetWindow LUMARELTEST", "2 SetFileName C:\\a.avi", "2 Play"};

class HostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetFakeLibrary();
        g_pPlayer = NULL;
        g_bRunning = 0;
        g_bNoErase = false;
        g_deferred = HostDeferredRequests();
        g_hInstance = GetModuleHandleA(NULL);
        RegisterHostClass();   // fails harmlessly when an earlier test registered it
    }

    void TearDown() override
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
        ResetFakeLibrary();
        UnbindPlayerLibrary();
        g_pPlayer = NULL;
        g_hWnd = NULL;
    }

    void UseFakeLibrary()
    {
        g_pfnNewPlayerControl = FakeNewPlayerControl;
        g_pfnDeletePlayerControl = FakeDeletePlayerControl;
    }

    // The host window as the program makes it, without its message loop:
    // the test sends the messages.
    HWND OpenWindow()
    {
        m_hWnd = CreateHostWindow();
        g_hWnd = m_hWnd;
        g_bRunning = 1;
        return m_hWnd;
    }

    LRESULT Drop(const std::vector<std::string>& files, bool bWide = false)
    {
        m_hLastDrop = MakeDrop(files, bWide);
        return SendMessageA(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(m_hLastDrop), 0);
    }

    HWND m_hWnd = NULL;
    HDROP m_hLastDrop = NULL;
};

class FakeHostTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        UseFakeLibrary();
        ASSERT_NE(OpenWindow(), nullptr);
    }
};

TEST_F(FakeHostTest, CreatingTheWindowMakesTheFirstControlForIt)
{
    EXPECT_THAT(g_fake.log, ElementsAre("1 new", "1 SetWindow LUMARELTEST"));
    EXPECT_EQ(g_fake.hLastWindow, m_hWnd);
    EXPECT_NE(g_pPlayer, nullptr);
    EXPECT_FALSE(g_bNoErase);
}

TEST_F(FakeHostTest, DropStopsAndDeletesTheControlThenPlaysTheFileInANewOne)
{
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    UpdateWindow(m_hWnd);
    ValidateRect(m_hWnd, NULL);
    g_fake.log.clear();
    EXPECT_EQ(Drop({"C:\\a.avi"}), 0);
    EXPECT_THAT(g_fake.log, ElementsAreArray(kFirstDropOfA));
    EXPECT_EQ(g_fake.hLastWindow, m_hWnd);
    EXPECT_TRUE(g_bNoErase);
    EXPECT_TRUE(GetUpdateRect(m_hWnd, NULL, FALSE)) << "the window was not invalidated";
    EXPECT_TRUE(DropReleased(m_hLastDrop));

    g_fake.log.clear();
    Drop({"C:\\b.avi"});
    EXPECT_THAT(g_fake.log, ElementsAre("2 Stop", "2 delete", "3 new", "3 SetWindow LUMARELTEST",
                                        "3 SetFileName C:\\b.avi", "3 Play"));
    EXPECT_EQ(g_fake.live.size(), 1u);
}

TEST_F(FakeHostTest, OnlyTheFirstFileOfADropAndAtMost255CharactersReachTheControl)
{
    const std::string name255 = "C:\\" + std::string(252, 'n');
    const std::string name256 = name255 + "6";
    const std::string name300 = name255 + std::string(45, 'z');
    struct Case
    {
        std::vector<std::string> files;
        std::string expected;
    };
    const Case cases[] = {
        {{"C:\\clips\\one.avi"}, "C:\\clips\\one.avi"},
        {{"C:\\first.avi", "C:\\second.avi", "C:\\third.avi"}, "C:\\first.avi"},
        {{name255}, name255},
        {{name256}, name255},
        {{name300, "C:\\second.avi"}, name255},
    };
    for (bool bWide : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.files[0].substr(0, 20) + "... length " + std::to_string(c.files[0].size())
                         + (bWide ? " wide" : " ansi"));
            g_fake.log.clear();
            Drop(c.files, bWide);
            ASSERT_EQ(g_fake.log.size(), 6u);
            EXPECT_EQ(g_fake.log[4], std::to_string(g_fake.nNextId - 1) + " SetFileName " + c.expected);
            EXPECT_TRUE(DropReleased(m_hLastDrop));
        }
    }
}

TEST_F(FakeHostTest, SizingReFitsTheControl)
{
    g_fake.log.clear();
    SendMessageA(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
    RECT rc = {0, 0, 400, 300};
    SendMessageA(m_hWnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&rc));
    SetWindowPos(m_hWnd, NULL, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_THAT(g_fake.log, ElementsAre("1 Resize", "1 Resize", "1 Resize"));
}

TEST_F(FakeHostTest, CloseStopsAndDeletesTheControlAndEndsTheLoopButKeepsTheWindow)
{
    g_fake.log.clear();
    EXPECT_EQ(SendMessageA(m_hWnd, WM_CLOSE, 0, 0), 0);
    EXPECT_THAT(g_fake.log, ElementsAre("1 Stop", "1 delete"));
    EXPECT_EQ(g_pPlayer, nullptr);
    EXPECT_EQ(g_bRunning, 0);
    EXPECT_TRUE(TakeQuit(m_hWnd));
    EXPECT_TRUE(IsWindow(m_hWnd));

    // Nothing is left to replace: later drops are let go unread.
    g_fake.log.clear();
    Drop({"C:\\late.avi"});
    EXPECT_THAT(g_fake.log, IsEmpty());
    EXPECT_TRUE(DropReleased(m_hLastDrop));
}

// A CBT hook sees every system command that reaches the default handling;
// it refuses them, so no move loop or minimising actually starts.
std::vector<WPARAM> s_defaultSysCommands;

LRESULT CALLBACK RefusingCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_SYSCOMMAND) {
        s_defaultSysCommands.push_back(wParam);
        return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(FakeHostTest, ScreenSaverAndMonitorPowerAreSwallowedOtherSystemCommandsPassOn)
{
    struct Case
    {
        WPARAM command;
        LPARAM lParam;
        bool bPassedOn;
    };
    const Case cases[] = {
        {SC_SCREENSAVE, 0, false},
        {SC_MONITORPOWER, 2, false},
        {SC_MONITORPOWER, -1, false},
        {SC_MOVE, 0, true},
        {SC_SIZE, 0, true},
        {SC_MINIMIZE, 0, true},
        {SC_MAXIMIZE, 0, true},
        {SC_RESTORE, 0, true},
        {SC_CLOSE, 0, true},
        {SC_KEYMENU, ' ', true},
        // Only the exact values are swallowed.
        {SC_SCREENSAVE | 2, 0, true},
    };
    HHOOK hHook = SetWindowsHookExA(WH_CBT, RefusingCbtHook, NULL, GetCurrentThreadId());
    ASSERT_NE(hHook, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE("command 0x" + std::to_string(c.command));
        s_defaultSysCommands.clear();
        const LRESULT result = SendMessageA(m_hWnd, WM_SYSCOMMAND, c.command, c.lParam);
        if (c.bPassedOn) {
            EXPECT_THAT(s_defaultSysCommands, ElementsAre(c.command));
        } else {
            EXPECT_THAT(s_defaultSysCommands, IsEmpty());
            EXPECT_EQ(result, 0);
        }
    }
    UnhookWindowsHookEx(hHook);
    EXPECT_THAT(g_fake.log, ElementsAre("1 new", "1 SetWindow LUMARELTEST"));
}

TEST_F(FakeHostTest, PassedOnSystemCommandsTakeEffect)
{
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(m_hWnd));
    SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(m_hWnd));

    g_fake.log.clear();
    SendMessageA(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_THAT(g_fake.log, ElementsAre("1 Stop", "1 delete"));
    EXPECT_EQ(g_bRunning, 0);
    EXPECT_TRUE(TakeQuit(m_hWnd));
}

TEST_F(FakeHostTest, BackgroundIsErasedUntilAControlPlaysThenNoLonger)
{
    EXPECT_TRUE(ErasesBackground(m_hWnd)) << "before any drop";
    Drop({"C:\\a.avi"});
    EXPECT_FALSE(ErasesBackground(m_hWnd)) << "while a dropped file plays";

    // A drop that yields no new control leaves erasing on again.
    g_fake.bNewFails = true;
    Drop({"C:\\b.avi"});
    EXPECT_EQ(g_pPlayer, nullptr);
    EXPECT_TRUE(ErasesBackground(m_hWnd)) << "after a drop without a new control";
}

TEST_F(FakeHostTest, CloseTurnsErasingOffWhenItFindsAControl)
{
    SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(ErasesBackground(m_hWnd));
}

TEST_F(FakeHostTest, WithoutANewControlDropsAreIgnored)
{
    g_fake.bNewFails = true;
    g_fake.log.clear();
    Drop({"C:\\a.avi"});
    EXPECT_THAT(g_fake.log, ElementsAre("1 Stop", "1 delete"));
    Drop({"C:\\b.avi"});
    SendMessageA(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
    EXPECT_THAT(g_fake.log, ElementsAre("1 Stop", "1 delete"));
    EXPECT_TRUE(DropReleased(m_hLastDrop));
}

TEST_F(FakeHostTest, WithoutDeletePlayerControlReplacedControlsAreLeftAlive)
{
    g_pfnDeletePlayerControl = NULL;
    g_fake.log.clear();
    Drop({"C:\\a.avi"});
    Drop({"C:\\b.avi"});
    SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_THAT(g_fake.log,
                ElementsAre("1 Stop", "2 new", "2 SetWindow LUMARELTEST", "2 SetFileName C:\\a.avi",
                            "2 Play", "2 Stop", "3 new", "3 SetWindow LUMARELTEST",
                            "3 SetFileName C:\\b.avi", "3 Play", "3 Stop"));
    EXPECT_EQ(g_fake.live.size(), 3u);
    EXPECT_EQ(g_pPlayer, nullptr);
    EXPECT_TRUE(TakeQuit(m_hWnd));
}

// While the new control's Play holds up an owner-less message box, as the
// real one does when a file will not render, messages posted to the host
// window are dispatched by the box's own loop.
TEST_F(FakeHostTest, CloseDropAndSizeDuringAControlOperationWaitForItToReturn)
{
    enum Request { Close, DropB, DropC, Size };
    struct Case
    {
        const char* name;
        std::vector<Request> requests;
        std::vector<std::string> afterTheBox;
        bool bClosed;
    };
    const Case cases[] = {
        {"close", {Close}, {"2 Stop", "2 delete"}, true},
        {"drop",
         {DropB},
         {"2 Stop", "2 delete", "3 new", "3 SetWindow LUMARELTEST", "3 SetFileName C:\\b.avi", "3 Play"},
         false},
        {"two drops: the latest counts",
         {DropB, DropC},
         {"2 Stop", "2 delete", "3 new", "3 SetWindow LUMARELTEST", "3 SetFileName C:\\c.avi", "3 Play"},
         false},
        {"drop then close: the close wins", {DropB, Close}, {"2 Stop", "2 delete"}, true},
        {"close then drop: the close wins", {Close, DropB}, {"2 Stop", "2 delete"}, true},
        {"size", {Size, Size}, {"2 Resize"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFakeLibrary();
        g_pPlayer = FakeNewPlayerControl();   // "1", as WM_CREATE made it
        g_bRunning = 1;
        g_deferred = HostDeferredRequests();
        std::vector<HDROP> postedDrops;
        g_fake.onPlay = [&](int id) {
            if (id != 2)
                return;
            for (Request request : c.requests) {
                if (request == Close) {
                    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
                } else if (request == Size) {
                    PostMessageA(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
                } else {
                    postedDrops.push_back(MakeDrop({request == DropB ? "C:\\b.avi" : "C:\\c.avi"}));
                    PostMessageA(m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(postedDrops.back()), 0);
                }
            }
            MessageBoxA(NULL, "Can't render file...", "Error", MB_OK);
            g_fake.log.push_back("2 box closed");
        };
        MessageBoxWatcher watcher;
        g_fake.log.clear();

        Drop({"C:\\a.avi"});

        std::vector<std::string> expected = kFirstDropOfA;
        expected.push_back("2 box closed");
        expected.insert(expected.end(), c.afterTheBox.begin(), c.afterTheBox.end());
        EXPECT_THAT(g_fake.log, ElementsAreArray(expected));
        EXPECT_THAT(watcher.Texts(), ElementsAre("Can't render file..."));
        for (HDROP hDrop : postedDrops)
            EXPECT_TRUE(DropReleased(hDrop));
        EXPECT_EQ(g_bRunning, c.bClosed ? 0 : 1);
        EXPECT_EQ(g_pPlayer == nullptr, c.bClosed);
        EXPECT_EQ(TakeQuit(m_hWnd), c.bClosed);
        EXPECT_EQ(g_deferred.nDepth, 0);
    }
}

TEST_F(HostTest, WithoutTheLibraryTheWindowWorksAndIgnoresDrops)
{
    EXPECT_FALSE(BindPlayerLibrary("NoSuchLumarel.dll"));
    EXPECT_EQ(g_hPlayerLib, nullptr);
    EXPECT_EQ(g_pfnNewPlayerControl, nullptr);
    EXPECT_EQ(g_pfnDeletePlayerControl, nullptr);

    ASSERT_NE(OpenWindow(), nullptr);
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    EXPECT_EQ(g_pPlayer, nullptr);
    EXPECT_EQ(Drop({"C:\\a.avi"}), 0);
    EXPECT_TRUE(DropReleased(m_hLastDrop));
    EXPECT_EQ(g_pPlayer, nullptr);
    SetWindowPos(m_hWnd, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(ErasesBackground(m_hWnd));

    EXPECT_EQ(SendMessageA(m_hWnd, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(g_bRunning, 0);
    EXPECT_TRUE(TakeQuit(m_hWnd));
    EXPECT_TRUE(ErasesBackground(m_hWnd)) << "no control was found on close";
}

TEST_F(HostTest, BindsBothExportsOfTheRealLibraryAndFreesIt)
{
    const std::string path = BesideProgram("Lumarel.dll");
    ASSERT_TRUE(BindPlayerLibrary(path.c_str()));
    EXPECT_EQ(g_hPlayerLib, GetModuleHandleA(path.c_str()));
    ASSERT_NE(g_pfnNewPlayerControl, nullptr);
    ASSERT_NE(g_pfnDeletePlayerControl, nullptr);

    // The host works with the real control too: a drop of a file that does
    // not exist replaces the control and shows the control's own box.
    MessageBoxWatcher watcher;
    ASSERT_NE(OpenWindow(), nullptr);
    IPlayerControl* pFirst = g_pPlayer;
    ASSERT_NE(pFirst, nullptr);
    Drop({"C:\\no\\such\\clip.avi"});
    EXPECT_NE(g_pPlayer, nullptr);
    EXPECT_THAT(watcher.Texts(), ::testing::Contains("Can't render file..."));
    SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(g_pPlayer, nullptr);

    UnbindPlayerLibrary();
    EXPECT_EQ(g_hPlayerLib, nullptr);
    EXPECT_EQ(g_pfnNewPlayerControl, nullptr);
    EXPECT_EQ(g_pfnDeletePlayerControl, nullptr);
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "the library is still loaded";
}

TEST_F(HostTest, ALibraryWithoutDeletePlayerControlStillMakesControls)
{
    const std::string path = BesideProgram("PartialLumarel.dll");
    ASSERT_TRUE(BindPlayerLibrary(path.c_str()));
    EXPECT_NE(g_pfnNewPlayerControl, nullptr);
    EXPECT_EQ(g_pfnDeletePlayerControl, nullptr);

    ASSERT_NE(OpenWindow(), nullptr);
    IPlayerControl* pFirst = g_pPlayer;
    ASSERT_NE(pFirst, nullptr);
    Drop({"C:\\a.avi"});
    EXPECT_NE(g_pPlayer, nullptr);
    EXPECT_NE(g_pPlayer, pFirst) << "the first control is never freed, so a new one lives elsewhere";
    SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(g_pPlayer, nullptr);
    EXPECT_TRUE(TakeQuit(m_hWnd));
}

// RunHost registers the class itself, so these tests take it away first.
class RunHostTest : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        UnregisterClassA(kHostClassName, g_hInstance);
    }
    void TearDown() override
    {
        m_hWnd = g_hWnd;
        HostTest::TearDown();
    }
};

TEST_F(RunHostTest, OpensItsWindowPlaysADroppedFileAndReturnsZeroOnClose)
{
    UseFakeLibrary();
    struct Seen
    {
        bool bVisible = false;
        LONG style = 0;
        LONG exStyle = 0;
        RECT rect = {};
        char caption[64] = "";
    } seen;
    // WM_CREATE's control posts a drop; the dropped file's Play looks at the
    // window from inside the running program, then asks it to close.
    g_fake.onSetWindow = [&](int id) {
        if (id == 1)
            PostMessageA(g_fake.hLastWindow, WM_DROPFILES,
                         reinterpret_cast<WPARAM>(MakeDrop({"C:\\a.avi"})), 0);
    };
    g_fake.onPlay = [&](int) {
        HWND hWnd = g_fake.hLastWindow;
        seen.bVisible = IsWindowVisible(hWnd) != 0;
        seen.style = GetWindowLongA(hWnd, GWL_STYLE);
        seen.exStyle = GetWindowLongA(hWnd, GWL_EXSTYLE);
        GetWindowRect(hWnd, &seen.rect);
        GetWindowTextA(hWnd, seen.caption, sizeof(seen.caption));
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
    };

    EXPECT_EQ(RunHost(g_hInstance), 0);

    ASSERT_GE(g_fake.log.size(), 2u);
    EXPECT_EQ(g_fake.log[0], "1 new");
    EXPECT_EQ(g_fake.log[1], "1 SetWindow LUMARELTEST");
    std::vector<std::string> fromDrop(
        std::find(g_fake.log.begin(), g_fake.log.end(), "1 Stop"), g_fake.log.end());
    std::vector<std::string> expected = kFirstDropOfA;
    expected.push_back("2 Stop");
    expected.push_back("2 delete");
    EXPECT_THAT(fromDrop, ElementsAreArray(expected));
    EXPECT_EQ(g_fake.hLastWindow, g_hWnd);
    EXPECT_EQ(g_bRunning, 0);
    EXPECT_TRUE(IsWindow(g_hWnd)) << "the window lives until the program ends";

    EXPECT_TRUE(seen.bVisible);
    EXPECT_STREQ(seen.caption, "Lumarel Test");
    EXPECT_EQ(seen.style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(seen.style & (WS_CHILD | WS_POPUP), 0);
    EXPECT_EQ(seen.exStyle & (WS_EX_APPWINDOW | WS_EX_ACCEPTFILES), WS_EX_APPWINDOW | WS_EX_ACCEPTFILES);
    EXPECT_EQ(seen.rect.left, 50);
    EXPECT_EQ(seen.rect.top, 50);
    EXPECT_EQ(seen.rect.right - seen.rect.left, 800);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 600);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExA(g_hInstance, "LUMARELTEST", &wc));
    EXPECT_EQ(wc.style, 0x23u);
    EXPECT_EQ(wc.lpfnWndProc, HostWindowProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hCursor, LoadCursor(NULL, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(4));
    EXPECT_EQ(wc.lpszMenuName, nullptr);
}

LRESULT CALLBACK RefuseCreation(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return FALSE;
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(RunHostTest, WithoutClassOrWindowItWarnsAndEndsInsteadOfLooping)
{
    UseFakeLibrary();
    // A class of the same name that refuses its windows: the host's own
    // registration fails and so does its window.
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RefuseCreation;
    wc.hInstance = g_hInstance;
    wc.lpszClassName = "LUMARELTEST";
    ASSERT_TRUE(RegisterClassExA(&wc));
    MessageBoxWatcher watcher;

    EXPECT_EQ(RunHost(g_hInstance), 1);

    UnregisterClassA("LUMARELTEST", g_hInstance);
    EXPECT_EQ(g_hWnd, nullptr);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, "Error");
    EXPECT_EQ(watcher.Seen()[0].text, "RegisterClassEx Failed!");
    EXPECT_TRUE(watcher.Seen()[0].hasIcon);
    EXPECT_THAT(g_fake.log, IsEmpty());
}

DWORD WINAPI LoopOnADestroyedWindow(void*)
{
    HWND hWnd = CreateHostWindow();
    DestroyWindow(hWnd);
    g_hWnd = hWnd;
    g_bRunning = 1;
    RunMessageLoop();
    return 0;
}

TEST_F(HostTest, MessageLoopEndsWhenItsWindowIsGone)
{
    HANDLE hThread = CreateThread(NULL, 0, LoopOnADestroyedWindow, NULL, 0, NULL);
    const DWORD wait = WaitForSingleObject(hThread, 10000);
    if (wait != WAIT_OBJECT_0)
        TerminateThread(hThread, 1);
    CloseHandle(hThread);
    EXPECT_EQ(wait, WAIT_OBJECT_0) << "the loop went on after its window was destroyed";
}

} // namespace

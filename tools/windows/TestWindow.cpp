#include "TestWindow.h"

namespace {

const char kClassName[] = "LumarelTestWindow";

LRESULT CALLBACK TestWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void RegisterTestWindowClass()
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(GetModuleHandleA(NULL), kClassName, &wc))
        return;
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
}

SIZE OuterSize(int clientWidth, int clientHeight)
{
    RECT rc = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    return size;
}

BOOL CALLBACK CountVisible(HWND hWnd, LPARAM lParam)
{
    if (IsWindowVisible(hWnd))
        ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

} // namespace

TestWindow::TestWindow(int clientWidth, int clientHeight, bool bVisible)
{
    RegisterTestWindowClass();
    const SIZE size = OuterSize(clientWidth, clientHeight);
    m_hWnd = CreateWindowExA(0, kClassName, "Lumarel test window",
                             WS_OVERLAPPEDWINDOW | (bVisible ? WS_VISIBLE : 0),
                             20, 20, size.cx, size.cy, NULL, NULL,
                             GetModuleHandleA(NULL), NULL);
    if (bVisible) {
        UpdateWindow(m_hWnd);
        PumpMessages(50);
    }
}

TestWindow::~TestWindow()
{
    Destroy();
}

void TestWindow::ResizeClient(int clientWidth, int clientHeight)
{
    const SIZE size = OuterSize(clientWidth, clientHeight);
    SetWindowPos(m_hWnd, NULL, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TestWindow::Destroy()
{
    // The handle is kept: a test may hand the dead handle on.
    if (!m_bDestroyed && m_hWnd)
        DestroyWindow(m_hWnd);
    m_bDestroyed = true;
}

int TestWindow::CountVisibleChildren() const
{
    int count = 0;
    if (!m_bDestroyed && m_hWnd)
        EnumChildWindows(m_hWnd, CountVisible, reinterpret_cast<LPARAM>(&count));
    return count;
}

void PumpMessages(DWORD dwMs)
{
    PumpUntil([] { return false; }, dwMs);
}

bool PumpUntil(const std::function<bool()>& done, DWORD dwTimeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= dwTimeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
}

// TestWindow: a plain top-level window for tests to play or paint in, and
// message pumping helpers for a test's user-interface thread.
#ifndef LUMAREL_TESTWINDOW_H
#define LUMAREL_TESTWINDOW_H

#include <windows.h>

#include <functional>

class TestWindow
{
public:
    // An overlapped window whose client area is clientWidth x clientHeight,
    // near the top left corner of the screen, with a black background.
    TestWindow(int clientWidth, int clientHeight, bool bVisible = true);
    ~TestWindow();

    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // Gives the window a new client size (the window keeps its position).
    void ResizeClient(int clientWidth, int clientHeight);
    // Destroys the window now; Handle() still returns the dead handle.
    void Destroy();

    // The visible child windows of the window, e.g. an embedded video window.
    int CountVisibleChildren() const;

private:
    HWND m_hWnd;
    bool m_bDestroyed = false;
};

// Dispatches this thread's messages for dwMs milliseconds.
void PumpMessages(DWORD dwMs);

// Dispatches messages until done() is true (checked every few milliseconds)
// or dwTimeoutMs have passed; returns done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD dwTimeoutMs);

#endif

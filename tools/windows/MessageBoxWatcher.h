// MessageBoxWatcher: a test utility that answers message boxes.
//
// A background thread looks for standard dialog windows ("#32770") of one
// process, records each one's caption and text, and presses its default
// button (OK), so code under test that shows modal message boxes can run
// unattended while the test checks exactly which boxes appeared.
#ifndef LUMAREL_MESSAGEBOXWATCHER_H
#define LUMAREL_MESSAGEBOXWATCHER_H

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox
{
    std::string caption;
    std::string text;
    bool hasIcon;
};

class MessageBoxWatcher
{
public:
    // Watches the dialogs of process dwProcessId (default: this process).
    explicit MessageBoxWatcher(DWORD dwProcessId = GetCurrentProcessId());
    ~MessageBoxWatcher();

    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // The boxes seen so far, oldest first.
    std::vector<SeenMessageBox> Seen();
    // Just their texts, oldest first.
    std::vector<std::string> Texts();
    // Forgets what was seen.
    void Clear();
    // Waits until at least nCount boxes were seen; false on timeout.
    bool WaitForCount(size_t nCount, DWORD dwTimeoutMs);

private:
    static DWORD WINAPI ThreadProc(void* pParam);
    static BOOL CALLBACK EnumProc(HWND hWnd, LPARAM lParam);
    void Poll();
    void Answer(HWND hDialog);

    DWORD m_dwProcessId;
    HANDLE m_hThread;
    HANDLE m_hStop;
    CRITICAL_SECTION m_lock;
    std::vector<SeenMessageBox> m_seen;
    std::vector<HWND> m_answered;
};

#endif

#include "MessageBoxWatcher.h"

#include <algorithm>

namespace {

// Standard message box control ids.
const int kTextId = 0xFFFF;
const int kWineIconId = 0x440;
const int kWindowsIconId = 0x14;

std::string WindowText(HWND hWnd)
{
    char buf[1024] = "";
    if (hWnd)
        GetWindowTextA(hWnd, buf, sizeof(buf));
    return buf;
}

bool HasVisibleIcon(HWND hDialog)
{
    const int ids[] = {kWineIconId, kWindowsIconId};
    for (int id : ids) {
        HWND hIcon = GetDlgItem(hDialog, id);
        if (hIcon && IsWindowVisible(hIcon)
            && SendMessageA(hIcon, STM_GETICON, 0, 0) != 0)
            return true;
    }
    return false;
}

} // namespace

MessageBoxWatcher::MessageBoxWatcher(DWORD dwProcessId)
    : m_dwProcessId(dwProcessId), m_hThread(NULL), m_hStop(NULL)
{
    InitializeCriticalSection(&m_lock);
    m_hStop = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_hThread = CreateThread(NULL, 0, ThreadProc, this, 0, NULL);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    SetEvent(m_hStop);
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    CloseHandle(m_hStop);
    DeleteCriticalSection(&m_lock);
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen()
{
    EnterCriticalSection(&m_lock);
    std::vector<SeenMessageBox> copy = m_seen;
    LeaveCriticalSection(&m_lock);
    return copy;
}

std::vector<std::string> MessageBoxWatcher::Texts()
{
    std::vector<std::string> texts;
    for (const SeenMessageBox& box : Seen())
        texts.push_back(box.text);
    return texts;
}

void MessageBoxWatcher::Clear()
{
    EnterCriticalSection(&m_lock);
    m_seen.clear();
    LeaveCriticalSection(&m_lock);
}

bool MessageBoxWatcher::WaitForCount(size_t nCount, DWORD dwTimeoutMs)
{
    const DWORD start = GetTickCount();
    while (Seen().size() < nCount) {
        if (GetTickCount() - start > dwTimeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

DWORD WINAPI MessageBoxWatcher::ThreadProc(void* pParam)
{
    MessageBoxWatcher* self = static_cast<MessageBoxWatcher*>(pParam);
    while (WaitForSingleObject(self->m_hStop, 10) == WAIT_TIMEOUT)
        self->Poll();
    return 0;
}

BOOL CALLBACK MessageBoxWatcher::EnumProc(HWND hWnd, LPARAM lParam)
{
    MessageBoxWatcher* self = reinterpret_cast<MessageBoxWatcher*>(lParam);
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    char className[64] = "";
    GetClassNameA(hWnd, className, sizeof(className));
    if (dwProcessId == self->m_dwProcessId && lstrcmpA(className, "#32770") == 0
        && IsWindowVisible(hWnd))
        self->Answer(hWnd);
    return TRUE;
}

void MessageBoxWatcher::Poll()
{
    // Forget dialogs that are gone, so a reused handle counts again.
    m_answered.erase(std::remove_if(m_answered.begin(), m_answered.end(),
                                    [](HWND h) { return !IsWindow(h); }),
                     m_answered.end());
    EnumWindows(EnumProc, reinterpret_cast<LPARAM>(this));
}

void MessageBoxWatcher::Answer(HWND hDialog)
{
    if (std::find(m_answered.begin(), m_answered.end(), hDialog) != m_answered.end())
        return;
    m_answered.push_back(hDialog);

    SeenMessageBox box;
    box.caption = WindowText(hDialog);
    box.text = WindowText(GetDlgItem(hDialog, kTextId));
    box.hasIcon = HasVisibleIcon(hDialog);
    EnterCriticalSection(&m_lock);
    m_seen.push_back(box);
    LeaveCriticalSection(&m_lock);

    HWND hOk = GetDlgItem(hDialog, IDOK);
    PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(hOk));
}

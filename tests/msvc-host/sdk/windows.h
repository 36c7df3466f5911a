// Stands in for the Windows SDK's <windows.h>, which this build machine
// does not have: exactly the types, constants and functions that
// msvc_host.cpp and IPlayerControl.h use, declared as the SDK declares them
// (WINAPI functions are __stdcall, imported from the system DLLs). Only for
// the MSVC-ABI test host; a real host includes the SDK's own header.
#ifndef LUMAREL_MSVC_HOST_WINDOWS_H
#define LUMAREL_MSVC_HOST_WINDOWS_H

#define WINAPI __stdcall
#define CALLBACK __stdcall
#define WINUSERAPI extern "C" __declspec(dllimport)
#define WINBASEAPI extern "C" __declspec(dllimport)

typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef long LONG;
typedef unsigned short WORD;
typedef unsigned short ATOM;
typedef DWORD COLORREF;
#ifdef _WIN64
typedef unsigned __int64 WPARAM;
typedef __int64 LPARAM;
typedef __int64 LRESULT;
typedef unsigned __int64 UINT_PTR;
#else
typedef unsigned int WPARAM;
typedef long LPARAM;
typedef long LRESULT;
typedef unsigned int UINT_PTR;
#endif

typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HDC__* HDC;
typedef struct HBRUSH__* HBRUSH;
typedef struct HICON__* HICON;
typedef HICON HCURSOR;
typedef struct HMENU__* HMENU;
typedef void* HGDIOBJ;
typedef void* LPVOID;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL(CALLBACK* WNDENUMPROC)(HWND, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
#ifdef _WIN64
typedef __int64(WINAPI* FARPROC)();
#else
typedef int(WINAPI* FARPROC)();
#endif

struct RECT
{
    LONG left, top, right, bottom;
};
struct POINT
{
    LONG x, y;
};
struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
struct WNDCLASSA
{
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

#define TRUE 1
#define FALSE 0
#define NULL 0
#define IDOK 1
#define BN_CLICKED 0
#define WM_DESTROY 0x0002
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113
#define PM_REMOVE 0x0001
#define WS_OVERLAPPEDWINDOW 0x00CF0000L
#define WS_VISIBLE 0x10000000L
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define GW_CHILD 5
#define BLACK_BRUSH 4
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define CLR_INVALID 0xFFFFFFFF
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))

WINBASEAPI HMODULE WINAPI GetModuleHandleA(const char* lpModuleName);
WINBASEAPI HMODULE WINAPI LoadLibraryA(const char* lpLibFileName);
WINBASEAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, const char* lpProcName);
WINBASEAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule);
WINBASEAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, char* lpFilename, DWORD nSize);
WINBASEAPI void WINAPI ExitProcess(UINT uExitCode);
WINBASEAPI char* WINAPI GetCommandLineA(void);
WINBASEAPI HANDLE WINAPI GetStdHandle(DWORD nStdHandle);
WINBASEAPI BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                                 DWORD* lpNumberOfBytesWritten, void* lpOverlapped);
WINBASEAPI void WINAPI Sleep(DWORD dwMilliseconds);
WINBASEAPI DWORD WINAPI GetTickCount(void);
WINBASEAPI DWORD WINAPI GetCurrentProcessId(void);
WINBASEAPI DWORD WINAPI GetFileAttributesA(const char* lpFileName);
WINBASEAPI BOOL WINAPI DeleteFileA(const char* lpFileName);
WINBASEAPI int WINAPI lstrcmpA(const char* lpString1, const char* lpString2);
WINBASEAPI int WINAPI lstrlenA(const char* lpString);
WINBASEAPI char* WINAPI lstrcpynA(char* lpString1, const char* lpString2, int iMaxLength);
WINBASEAPI char* WINAPI lstrcatA(char* lpString1, const char* lpString2);

WINUSERAPI ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass);
WINUSERAPI HWND WINAPI CreateWindowExA(DWORD dwExStyle, const char* lpClassName,
                                       const char* lpWindowName, DWORD dwStyle, int X, int Y,
                                       int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                                       HINSTANCE hInstance, LPVOID lpParam);
WINUSERAPI LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI BOOL WINAPI DestroyWindow(HWND hWnd);
WINUSERAPI BOOL WINAPI UpdateWindow(HWND hWnd);
WINUSERAPI BOOL WINAPI PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                                    UINT wRemoveMsg);
WINUSERAPI BOOL WINAPI TranslateMessage(const MSG* lpMsg);
WINUSERAPI LRESULT WINAPI DispatchMessageA(const MSG* lpMsg);
WINUSERAPI UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse,
                                    TIMERPROC lpTimerFunc);
WINUSERAPI BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent);
WINUSERAPI BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam);
WINUSERAPI DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, DWORD* lpdwProcessId);
WINUSERAPI int WINAPI GetClassNameA(HWND hWnd, char* lpClassName, int nMaxCount);
WINUSERAPI BOOL WINAPI IsWindowVisible(HWND hWnd);
WINUSERAPI BOOL WINAPI IsWindow(HWND hWnd);
WINUSERAPI HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem);
WINUSERAPI int WINAPI GetWindowTextA(HWND hWnd, char* lpString, int nMaxCount);
WINUSERAPI BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
WINUSERAPI BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect);
WINUSERAPI BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect);
WINUSERAPI BOOL WINAPI ClientToScreen(HWND hWnd, POINT* lpPoint);
WINUSERAPI BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                                    UINT uFlags);
WINUSERAPI HWND WINAPI GetWindow(HWND hWnd, UINT uCmd);
WINUSERAPI HDC WINAPI GetDC(HWND hWnd);
WINUSERAPI int WINAPI ReleaseDC(HWND hWnd, HDC hDC);
extern "C" __declspec(dllimport) int __cdecl wsprintfA(char* buffer, const char* format, ...);

extern "C" __declspec(dllimport) COLORREF WINAPI GetPixel(HDC hdc, int x, int y);
extern "C" __declspec(dllimport) HGDIOBJ WINAPI GetStockObject(int i);

#endif

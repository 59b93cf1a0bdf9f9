// The one door to the desktop: every Windows service marlet uses comes through this header.
// On Windows it is <windows.h>; elsewhere it declares the same names, types, constants and
// record layouts, implemented by the simulated desktop in simulated/.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <dwmapi.h>

#else  // simulated desktop

#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using ULONGLONG = std::uint64_t;
using LONG = std::int32_t;
using SHORT = std::int16_t;
using CHAR = char;
using WCHAR = wchar_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCWSTR = const wchar_t*;
using ULONG_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using INT_PTR = std::intptr_t;
using LPARAM = LONG_PTR;
using WPARAM = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using LRESULT = LONG_PTR;
using HRESULT = LONG;
using LPVOID = void*;
using PVOID = void*;
using LPDWORD = DWORD*;
using LPWSTR = wchar_t*;
using HANDLE = void*;

struct HWND__;
using HWND = HWND__*;
struct HDESK__;
using HDESK = HDESK__*;
struct HDC__;
using HDC = HDC__*;
struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HGDIOBJ;
using HGLOBAL = HANDLE;
using SIZE_T = std::size_t;
struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
struct DPI_AWARENESS_CONTEXT__;
using DPI_AWARENESS_CONTEXT = DPI_AWARENESS_CONTEXT__*;
using FARPROC = INT_PTR(WINAPI*)();
using WNDENUMPROC = BOOL(CALLBACK*)(HWND, LPARAM);

#define TRUE 1
#define FALSE 0

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 is the handle value -4.
#define DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 (reinterpret_cast<DPI_AWARENESS_CONTEXT>(static_cast<LONG_PTR>(-4)))

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct MOUSEINPUT {
    LONG dx;
    LONG dy;
    DWORD mouseData;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};

struct KEYBDINPUT {
    WORD wVk;
    WORD wScan;
    DWORD dwFlags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
};

struct HARDWAREINPUT {
    DWORD uMsg;
    WORD wParamL;
    WORD wParamH;
};

struct INPUT {
    DWORD type;
    union {
        MOUSEINPUT mi;
        KEYBDINPUT ki;
        HARDWAREINPUT hi;
    };
};

constexpr DWORD INPUT_MOUSE = 0;
constexpr DWORD INPUT_KEYBOARD = 1;
constexpr DWORD INPUT_HARDWARE = 2;

constexpr DWORD MOUSEEVENTF_MOVE = 0x0001;
constexpr DWORD MOUSEEVENTF_LEFTDOWN = 0x0002;
constexpr DWORD MOUSEEVENTF_LEFTUP = 0x0004;
constexpr DWORD MOUSEEVENTF_RIGHTDOWN = 0x0008;
constexpr DWORD MOUSEEVENTF_RIGHTUP = 0x0010;
constexpr DWORD MOUSEEVENTF_MIDDLEDOWN = 0x0020;
constexpr DWORD MOUSEEVENTF_MIDDLEUP = 0x0040;
constexpr DWORD MOUSEEVENTF_WHEEL = 0x0800;
constexpr DWORD MOUSEEVENTF_HWHEEL = 0x1000;
constexpr DWORD MOUSEEVENTF_VIRTUALDESK = 0x4000;
constexpr DWORD MOUSEEVENTF_ABSOLUTE = 0x8000;

constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x0001;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;
constexpr DWORD KEYEVENTF_UNICODE = 0x0004;
constexpr DWORD KEYEVENTF_SCANCODE = 0x0008;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;

constexpr UINT MAPVK_VK_TO_VSC = 0;

constexpr int SW_MAXIMIZE = 3;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;

constexpr UINT WM_CLOSE = 0x0010;

constexpr DWORD DWMWA_EXTENDED_FRAME_BOUNDS = 9;
constexpr DWORD DWMWA_CLOAKED = 14;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD CAPTUREBLT = 0x40000000;

constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))

constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

constexpr int UOI_NAME = 2;
constexpr DWORD DESKTOP_READOBJECTS = 0x0001;

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

constexpr WORD VK_CANCEL = 0x03;
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_PACKET = 0xE7;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_SNAPSHOT = 0x2C;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_LWIN = 0x5B;
constexpr WORD VK_RWIN = 0x5C;
constexpr WORD VK_APPS = 0x5D;
constexpr WORD VK_NUMPAD0 = 0x60;
constexpr WORD VK_NUMPAD9 = 0x69;
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F24 = 0x87;
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;
constexpr WORD VK_LSHIFT = 0xA0;
constexpr WORD VK_RSHIFT = 0xA1;
constexpr WORD VK_LCONTROL = 0xA2;
constexpr WORD VK_RCONTROL = 0xA3;
constexpr WORD VK_LMENU = 0xA4;
constexpr WORD VK_RMENU = 0xA5;
constexpr WORD VK_OEM_1 = 0xBA;
constexpr WORD VK_OEM_PLUS = 0xBB;
constexpr WORD VK_OEM_COMMA = 0xBC;
constexpr WORD VK_OEM_MINUS = 0xBD;
constexpr WORD VK_OEM_PERIOD = 0xBE;
constexpr WORD VK_OEM_2 = 0xBF;
constexpr WORD VK_OEM_3 = 0xC0;
constexpr WORD VK_OEM_4 = 0xDB;
constexpr WORD VK_OEM_5 = 0xDC;
constexpr WORD VK_OEM_6 = 0xDD;
constexpr WORD VK_OEM_7 = 0xDE;

// user32
UINT WINAPI SendInput(UINT cInputs, INPUT* pInputs, int cbSize);
int WINAPI GetSystemMetrics(int nIndex);
BOOL WINAPI GetCursorPos(POINT* lpPoint);
SHORT WINAPI VkKeyScanA(CHAR ch);
UINT WINAPI MapVirtualKeyA(UINT uCode, UINT uMapType);
UINT WINAPI MapVirtualKeyW(UINT uCode, UINT uMapType);
BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam);
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
BOOL WINAPI IsWindow(HWND hWnd);
BOOL WINAPI IsIconic(HWND hWnd);
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);
BOOL WINAPI SetForegroundWindow(HWND hWnd);
HWND WINAPI GetForegroundWindow();
int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount);
BOOL WINAPI IsWindowVisible(HWND hWnd);
BOOL WINAPI IsZoomed(HWND hWnd);
BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect);
BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect);
BOOL WINAPI ClientToScreen(HWND hWnd, POINT* lpPoint);
BOOL WINAPI ShowWindowAsync(HWND hWnd, int nCmdShow);
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
constexpr UINT RDW_INVALIDATE = 0x0001;
BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, void* hrgnUpdate, UINT flags);
BOOL WINAPI GetUpdateRect(HWND hWnd, RECT* lpRect, BOOL bErase);
BOOL WINAPI IsHungAppWindow(HWND hwnd);
struct LASTINPUTINFO {
    UINT cbSize;
    DWORD dwTime;
};
BOOL WINAPI GetLastInputInfo(LASTINPUTINFO* plii);
HDESK WINAPI OpenInputDesktop(DWORD dwFlags, BOOL fInherit, DWORD dwDesiredAccess);
BOOL WINAPI GetUserObjectInformationW(HANDLE hObj, int nIndex, PVOID pvInfo, DWORD nLength, LPDWORD lpnLengthNeeded);
BOOL WINAPI CloseDesktop(HDESK hDesktop);
DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, DWORD* lpdwProcessId);
BOOL WINAPI AttachThreadInput(DWORD idAttach, DWORD idAttachTo, BOOL fAttach);
SHORT WINAPI GetKeyState(int nVirtKey);
BOOL WINAPI SetProcessDPIAware();

// kernel32
void WINAPI Sleep(DWORD dwMilliseconds);
using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID lpThreadParameter);
HANDLE WINAPI CreateThread(void* lpThreadAttributes, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId);
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
ULONGLONG WINAPI GetTickCount64();
DWORD WINAPI GetTickCount();
DWORD WINAPI GetCurrentThreadId();
DWORD WINAPI GetCurrentProcessId();
BOOL WINAPI ProcessIdToSessionId(DWORD dwProcessId, DWORD* pSessionId);

UINT WINAPI GetDoubleClickTime();
BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
BOOL WINAPI CloseClipboard();
BOOL WINAPI EmptyClipboard();
HANDLE WINAPI GetClipboardData(UINT uFormat);
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
BOOL WINAPI IsClipboardFormatAvailable(UINT format);

// kernel32 memory
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
void* WINAPI GlobalLock(HGLOBAL hMem);
BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
SIZE_T WINAPI GlobalSize(HGLOBAL hMem);

// gdi32
HDC WINAPI GetDC(HWND hWnd);
int WINAPI ReleaseDC(HWND hWnd, HDC hDC);
HDC WINAPI CreateCompatibleDC(HDC hdc);
BOOL WINAPI DeleteDC(HDC hdc);
HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                                DWORD offset);
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
BOOL WINAPI DeleteObject(HGDIOBJ ho);
BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL WINAPI GdiFlush();

// kernel32 files
HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, void* lpSecurityAttributes,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite, DWORD* lpNumberOfBytesWritten,
                      void* lpOverlapped);
BOOL WINAPI CloseHandle(HANDLE hObject);
BOOL WINAPI ReadFile(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
                     void* lpOverlapped);
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    std::int64_t QuadPart;
};
BOOL WINAPI GetFileSizeEx(HANDLE hFile, LARGE_INTEGER* lpFileSize);
BOOL WINAPI MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags);
BOOL WINAPI DeleteFileW(LPCWSTR lpFileName);

// Child controls and their messages.
using DWORD_PTR = std::uintptr_t;
constexpr int GWL_STYLE = -16;
constexpr UINT GA_PARENT = 1;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
constexpr DWORD ERROR_TIMEOUT = 1460;
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_CLICK = 0x00F5;
constexpr LRESULT BST_CHECKED = 1;
constexpr LONG_PTR ES_PASSWORD = 0x0020;
constexpr LONG_PTR BS_TYPEMASK = 0x000F;
constexpr LONG_PTR BS_CHECKBOX = 0x0002;
constexpr LONG_PTR BS_AUTOCHECKBOX = 0x0003;
constexpr LONG_PTR BS_RADIOBUTTON = 0x0004;
constexpr LONG_PTR BS_3STATE = 0x0005;
constexpr LONG_PTR BS_AUTO3STATE = 0x0006;
constexpr LONG_PTR BS_AUTORADIOBUTTON = 0x0009;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_SELENDOK = 9;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr WORD LBN_SELCHANGE = 1;
constexpr UINT LVM_GETITEMCOUNT = 0x1004;
constexpr UINT LVM_GETNEXTITEM = 0x100C;
constexpr UINT LVM_GETHEADER = 0x101F;
constexpr UINT LVM_GETITEMTEXTW = 0x1073;
constexpr LPARAM LVNI_SELECTED = 0x0002;
constexpr LONG_PTR LVS_TYPEMASK = 0x0003;
constexpr LONG_PTR LVS_REPORT = 0x0001;
constexpr UINT HDM_GETITEMCOUNT = 0x1200;
// A list view item as LVM_GETITEMTEXTW reads it (the 64-bit layout).
struct LVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPWSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
    int iIndent;
    int iGroupId;
    UINT cColumns;
    UINT* puColumns;
    int* piColFmt;
    int iGroup;
};
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);
int WINAPI InternalGetWindowText(HWND hWnd, LPWSTR pString, int cchMaxCount);
HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags);
constexpr int GCW_ATOM = -32;
DWORD WINAPI GetClassLongW(HWND hWnd, int nIndex);
int WINAPI GetDlgCtrlID(HWND hWnd);
LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex);
BOOL WINAPI IsWindowEnabled(HWND hWnd);
LRESULT WINAPI SendMessageTimeoutW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags, UINT uTimeout,
                                   DWORD_PTR* lpdwResult);

// Memory of another process.
constexpr DWORD PROCESS_VM_OPERATION = 0x0008;
constexpr DWORD PROCESS_VM_READ = 0x0010;
constexpr DWORD PROCESS_VM_WRITE = 0x0020;
constexpr DWORD PROCESS_QUERY_LIMITED_INFORMATION = 0x1000;
constexpr DWORD MEM_COMMIT = 0x1000;
constexpr DWORD MEM_RESERVE = 0x2000;
constexpr DWORD MEM_RELEASE = 0x8000;
constexpr DWORD PAGE_READWRITE = 0x04;
HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
void* WINAPI VirtualAllocEx(HANDLE hProcess, void* lpAddress, SIZE_T dwSize, DWORD flAllocationType, DWORD flProtect);
BOOL WINAPI VirtualFreeEx(HANDLE hProcess, void* lpAddress, SIZE_T dwSize, DWORD dwFreeType);
BOOL WINAPI WriteProcessMemory(HANDLE hProcess, void* lpBaseAddress, const void* lpBuffer, SIZE_T nSize,
                               SIZE_T* lpNumberOfBytesWritten);
BOOL WINAPI ReadProcessMemory(HANDLE hProcess, const void* lpBaseAddress, void* lpBuffer, SIZE_T nSize,
                              SIZE_T* lpNumberOfBytesRead);
BOOL WINAPI IsWow64Process(HANDLE hProcess, BOOL* Wow64Process);

// dwmapi
HRESULT WINAPI DwmGetWindowAttribute(HWND hwnd, DWORD dwAttribute, PVOID pvAttribute, DWORD cbAttribute);
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);
HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// Console control events (wincon.h).
constexpr DWORD CTRL_C_EVENT = 0;
constexpr DWORD CTRL_BREAK_EVENT = 1;
constexpr DWORD CTRL_CLOSE_EVENT = 2;
using PHANDLER_ROUTINE = BOOL(WINAPI*)(DWORD dwCtrlType);
BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add);

#endif

// The record layout SendInput expects from a 64-bit process.
static_assert(sizeof(void*) != 8 || sizeof(INPUT) == 40, "INPUT must be 40 bytes in a 64-bit process");
static_assert(sizeof(POINT) == 8, "POINT is two 32-bit integers");

// The end-to-end tests' target window. It shows one top-level window and writes a line to
// standard output for every message of interest, so a test can see what input arrived:
//
//   hwnd 0x1a2b                      once, when the window exists
//   pid N                            once, right after
//   where L T R B CL CT CR CB        on request: its window rectangle and client area (screen)
//   keydown|keyup|syskeydown|syskeyup vk=0x41 scan=0x1e ext=0
//   char|syschar 0x0061              one UTF-16 unit
//   capslock 1|0                     (after "locks") after each char: Caps Lock as this window's
//                                    thread sees it (GetKeyState) while it takes the character
//   lbuttondown|lbuttonup|rbuttondown|rbuttonup|mbuttondown|mbuttonup X Y [shift] [ctrl]
//                                    screen pixels, and the modifiers the message says are down
//   lbuttondblclk X Y                (with the dblclks option)
//   drag X Y                         a pointer move while the left or right button is down
//   hwheel DELTA X Y                 the horizontal wheel
//   paste UNITS                      Ctrl+V: the clipboard's text as it reads it, UTF-16 units in hex
//   copied                           after "copy HEX...": the clipboard holds those UTF-16 units
//   wheel DELTA X Y
//   activate 1|0, setfocus, killfocus, size restored|minimized|maximized
//   filled, patterned, animating, still   after "fill", "pattern", "animate" and its end
//
// Lines on standard input steer it: "minimize", "restore", "hide", "foreground", "close", "where",
// "copy HEX HEX..." (puts those UTF-16 units on the clipboard); "fill RRGGBB" paints the client
// area that one colour, "pattern" paints the pattern again, "animate MS" repaints it in another
// colour every 15 ms for MS milliseconds and then leaves it be;
// "quiet" stops the keyboard lines (a benchmark's target, which must cost no more than an
// ordinary window), "count" writes "chars N", the WM_CHAR messages received so far, "locks" has
// each character followed by the Caps Lock state the window's thread sees, and "capslock" writes
// that state at once.
//
// Usage: marlet_probe TITLE [X Y W H] [minimized] [framed] [pattern] [dblclks]
//   framed: a caption and borders; pattern: the client area shows PatternColor(x, y) at each of
//   its pixels (x, y from the client area's top-left), for the screenshot tests.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT WM_PROBE_COMMAND = WM_APP + 1;
HWND g_window = nullptr;
bool g_pattern = false;

// The pattern's colour at a client pixel, 0xRRGGBB: gradients, a checkerboard and fine detail,
// so that a capture that is offset, scaled or colour-shifted by even one step shows.
unsigned PatternColor(int x, int y) {
    const unsigned r = static_cast<unsigned>(x * 7 + y * 3) & 0xFF;
    const unsigned g = static_cast<unsigned>(x ^ y) & 0xFF;
    const unsigned b = (((x / 8) + (y / 8)) % 2 != 0 ? 0xC0u : 0x20u) + static_cast<unsigned>((x * y) % 31);
    return (r << 16) | (g << 8) | b;
}

void PaintPattern(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int w = client.right;
    const int h = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::string bits(static_cast<std::size_t>(w) * h * 4, '\0');
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned c = PatternColor(x, y);
            char* p = &bits[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = static_cast<char>(c & 0xFF);
            p[1] = static_cast<char>((c >> 8) & 0xFF);
            p[2] = static_cast<char>((c >> 16) & 0xFF);
        }
    }
    SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, bits.data(), &info, DIB_RGB_COLORS);
    EndPaint(hwnd, &ps);
}
// The client area's one colour (0xRRGGBB), or -1 for the pattern or the class background.
long g_fill = -1;
long g_nextFill = 0;         // set by the command reader for "fill"
DWORD g_animateMs = 0;       // set by the command reader for "animate"
ULONGLONG g_animateUntil = 0;
constexpr UINT_PTR kAnimationTimer = 1;

bool PaintFill(HWND hwnd) {
    if (g_fill < 0) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(RGB((g_fill >> 16) & 0xFF, (g_fill >> 8) & 0xFF, g_fill & 0xFF));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return true;
}
bool g_quiet = false;   // keyboard messages are counted, not logged
bool g_locks = false;   // each character is followed by the Caps Lock state this thread sees
unsigned long long g_chars = 0;

void Log(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    fputs(buffer, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

void LogKey(const char* name, WPARAM wParam, LPARAM lParam) {
    if (g_quiet) return;
    Log("%s vk=0x%02x scan=0x%02x ext=%d", name, static_cast<unsigned>(wParam),
        static_cast<unsigned>((lParam >> 16) & 0xFF), static_cast<int>((lParam >> 24) & 1));
}

void LogButton(HWND hwnd, const char* name, WPARAM wParam, LPARAM lParam) {
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(hwnd, &pt);
    Log("%s %ld %ld%s%s", name, pt.x, pt.y, (wParam & MK_SHIFT) ? " shift" : "", (wParam & MK_CONTROL) ? " ctrl" : "");
}

// The clipboard's text as this program reads it, each UTF-16 unit in hex.
void LogClipboard() {
    std::string units;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                for (const wchar_t* p = text; *p != 0; ++p) {
                    char unit[8];
                    snprintf(unit, sizeof unit, "%s%04x", units.empty() ? "" : " ", static_cast<unsigned>(*p));
                    units += unit;
                }
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    Log("paste %s", units.c_str());
}

// Puts UTF-16 units on the clipboard, as another program's copy does.
void Copy(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (auto* at = static_cast<wchar_t*>(GlobalLock(block))) {
        memcpy(at, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
    }
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    Log("copied");
}

std::wstring g_toCopy;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KEYDOWN:
            LogKey("keydown", wParam, lParam);
            if (wParam == 'V' && (GetKeyState(VK_CONTROL) & 0x8000)) LogClipboard();
            return 0;
        case WM_LBUTTONDBLCLK: LogButton(hwnd, "lbuttondblclk", wParam, lParam); return 0;
        case WM_MOUSEMOVE:
            if (wParam & (MK_LBUTTON | MK_RBUTTON)) LogButton(hwnd, "drag", 0, lParam);
            return 0;
        case WM_MOUSEHWHEEL:
            Log("hwheel %d %d %d", static_cast<int>(GET_WHEEL_DELTA_WPARAM(wParam)),
                static_cast<int>(static_cast<short>(LOWORD(lParam))),
                static_cast<int>(static_cast<short>(HIWORD(lParam))));
            return 0;
        case WM_KEYUP: LogKey("keyup", wParam, lParam); return 0;
        case WM_SYSKEYDOWN: LogKey("syskeydown", wParam, lParam); return 0;
        case WM_SYSKEYUP: LogKey("syskeyup", wParam, lParam); return 0;
        case WM_CHAR:
            ++g_chars;
            if (!g_quiet) Log("char 0x%04x", static_cast<unsigned>(wParam));
            if (g_locks) Log("capslock %d", GetKeyState(VK_CAPITAL) & 1);
            return 0;
        case WM_SYSCHAR: Log("syschar 0x%04x", static_cast<unsigned>(wParam)); return 0;
        case WM_LBUTTONDOWN: LogButton(hwnd, "lbuttondown", wParam, lParam); return 0;
        case WM_LBUTTONUP: LogButton(hwnd, "lbuttonup", wParam, lParam); return 0;
        case WM_RBUTTONDOWN: LogButton(hwnd, "rbuttondown", wParam, lParam); return 0;
        case WM_RBUTTONUP: LogButton(hwnd, "rbuttonup", wParam, lParam); return 0;
        case WM_MBUTTONDOWN: LogButton(hwnd, "mbuttondown", wParam, lParam); return 0;
        case WM_MBUTTONUP: LogButton(hwnd, "mbuttonup", wParam, lParam); return 0;
        case WM_MOUSEWHEEL:
            Log("wheel %d %d %d", static_cast<int>(GET_WHEEL_DELTA_WPARAM(wParam)),
                static_cast<int>(static_cast<short>(LOWORD(lParam))),
                static_cast<int>(static_cast<short>(HIWORD(lParam))));
            return 0;
        case WM_ACTIVATE: Log("activate %d", LOWORD(wParam) != WA_INACTIVE ? 1 : 0); break;
        case WM_SETFOCUS: Log("setfocus"); break;
        case WM_KILLFOCUS: Log("killfocus"); break;
        case WM_SIZE:
            Log("size %s", wParam == SIZE_MINIMIZED   ? "minimized"
                           : wParam == SIZE_MAXIMIZED ? "maximized"
                                                      : "restored");
            break;
        case WM_PROBE_COMMAND:
            switch (wParam) {
                case 'm': ShowWindow(hwnd, SW_MINIMIZE); break;
                case 'r': ShowWindow(hwnd, SW_RESTORE); break;
                case 'h': ShowWindow(hwnd, SW_HIDE); break;
                case 'f': Log("foreground %d", SetForegroundWindow(hwnd) ? 1 : 0); break;
                case 'c': DestroyWindow(hwnd); break;
                case 'q': g_quiet = true; break;
                case 'n': Log("chars %llu", g_chars); break;
                case 'l': g_locks = true; break;
                case 'k': Log("capslock %d", GetKeyState(VK_CAPITAL) & 1); break;
                case 'y': Copy(g_toCopy); break;
                case 'F':
                    KillTimer(hwnd, kAnimationTimer);
                    g_fill = g_nextFill;
                    InvalidateRect(hwnd, nullptr, FALSE);
                    Log("filled");
                    break;
                case 'P':
                    KillTimer(hwnd, kAnimationTimer);
                    g_fill = -1;
                    g_pattern = true;
                    InvalidateRect(hwnd, nullptr, FALSE);
                    Log("patterned");
                    break;
                case 'A':
                    if (g_fill < 0) g_fill = 0x102030;
                    g_animateUntil = GetTickCount64() + g_animateMs;
                    SetTimer(hwnd, kAnimationTimer, 15, nullptr);
                    Log("animating");
                    break;
                case 'w': {
                    RECT outer{};
                    RECT client{};
                    GetWindowRect(hwnd, &outer);
                    GetClientRect(hwnd, &client);
                    POINT origin{0, 0};
                    ClientToScreen(hwnd, &origin);
                    Log("where %ld %ld %ld %ld %ld %ld %ld %ld", outer.left, outer.top, outer.right, outer.bottom,
                        origin.x, origin.y, origin.x + client.right, origin.y + client.bottom);
                    break;
                }
                default: break;
            }
            return 0;
        case WM_CLOSE: Log("close"); break;
        case WM_TIMER:
            if (wParam != kAnimationTimer) break;
            if (GetTickCount64() >= g_animateUntil) {
                KillTimer(hwnd, kAnimationTimer);
                Log("still");
            } else {
                g_fill = (g_fill + 0x0B0705) & 0xFFFFFF;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        case WM_PAINT:
            if (PaintFill(hwnd)) return 0;
            if (!g_pattern) break;
            PaintPattern(hwnd);
            return 0;
        case WM_DESTROY:
            Log("destroyed");
            PostQuitMessage(0);
            return 0;
        default: break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

DWORD WINAPI ReadCommands(LPVOID) {
    char line[4096];
    while (fgets(line, sizeof line, stdin) != nullptr) {
        const std::string command(line, strcspn(line, "\r\n"));
        WPARAM code = 0;
        if (command == "minimize") code = 'm';
        if (command == "restore") code = 'r';
        if (command == "hide") code = 'h';
        if (command == "foreground") code = 'f';
        if (command == "close") code = 'c';
        if (command == "quiet") code = 'q';
        if (command == "count") code = 'n';
        if (command == "locks") code = 'l';
        if (command == "capslock") code = 'k';
        if (command == "where") code = 'w';
        if (command.rfind("fill ", 0) == 0) {
            g_nextFill = static_cast<long>(strtoul(command.c_str() + 5, nullptr, 16) & 0xFFFFFF);
            code = 'F';
        }
        if (command == "pattern") code = 'P';
        if (command.rfind("animate ", 0) == 0) {
            g_animateMs = static_cast<DWORD>(strtoul(command.c_str() + 8, nullptr, 10));
            code = 'A';
        }
        if (command.rfind("copy", 0) == 0) {
            // Units in hex after the word, read here; the window's thread puts them on the clipboard.
            std::wstring text;
            for (const char* p = command.c_str() + 4; *p != 0;) {
                char* end = nullptr;
                const unsigned long unit = strtoul(p, &end, 16);
                if (end == p) break;
                text.push_back(static_cast<wchar_t>(unit));
                p = end;
            }
            g_toCopy = text;
            code = 'y';
        }
        if (code != 0) PostMessageW(g_window, WM_PROBE_COMMAND, code, 0);
    }
    PostMessageW(g_window, WM_PROBE_COMMAND, 'c', 0);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* title = argc > 1 ? argv[1] : L"marlet probe";
    int x = 0, y = 0, w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    if (argc > 5) {
        x = _wtoi(argv[2]);
        y = _wtoi(argv[3]);
        w = _wtoi(argv[4]);
        h = _wtoi(argv[5]);
    }
    bool minimized = false;
    bool framed = false;
    bool dblclks = false;
    for (int i = 2; i < argc; ++i) {
        if (wcscmp(argv[i], L"minimized") == 0) minimized = true;
        if (wcscmp(argv[i], L"framed") == 0) framed = true;
        if (wcscmp(argv[i], L"pattern") == 0) g_pattern = true;
        if (wcscmp(argv[i], L"dblclks") == 0) dblclks = true;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"MarletProbe";
    if (dblclks) wc.style |= CS_DBLCLKS;
    RegisterClassW(&wc);

    g_window = CreateWindowExW(0, wc.lpszClassName, title, framed ? WS_OVERLAPPEDWINDOW : WS_POPUP, x, y, w, h, nullptr, nullptr, instance, nullptr);
    if (g_window == nullptr) {
        Log("error CreateWindow %lu", GetLastError());
        return 1;
    }
    Log("hwnd 0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g_window)));
    Log("pid %lu", GetCurrentProcessId());
    ShowWindow(g_window, minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    UpdateWindow(g_window);
    Log("ready");
    CreateThread(nullptr, 0, ReadCommands, nullptr, 0, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// A dialog of standard controls for the end-to-end tests of the control commands: a button, an
// edit, a password edit, a check box, a radio pair, a combo box, a list box, a label and a list
// view in report view. It logs on standard output every notification its controls send it:
//   hwnd 0x1a2b                      once, then "pid N" and "ready"
//   command ID CODE                  a WM_COMMAND notification (BN_CLICKED 0, CBN_SELCHANGE 1, ...)
//   text ID TEXT                     on request: a control's text as this program sees it
//   checked ID 0|1                   on request
//   selected ID N                    on request: a combo or list box's selection
// Lines on standard input: "text ID", "checked ID", "selected ID", "hang MS" (the window's thread
// stops reading its messages for MS milliseconds), "close".
// Usage: marlet_dialog [TITLE] [many]: with "many", 50 more controls (edits and labels, ids 2000
// on), a dialog of the size a benchmark measures.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND g_window = nullptr;
bool g_many = false;
constexpr UINT WM_DIALOG_COMMAND = WM_APP + 1;

void Log(const char* format, ...) {
    char line[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

HWND Make(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void MakeControls() {
    Make(L"Button", L"&OK", BS_DEFPUSHBUTTON, 10, 10, 80, 24, IDOK);
    Make(L"Edit", L"first", WS_BORDER | ES_AUTOHSCROLL, 10, 40, 200, 22, 1001);
    Make(L"Edit", L"s3cret", WS_BORDER | ES_PASSWORD | ES_AUTOHSCROLL, 10, 70, 200, 22, 1002);
    Make(L"Button", L"Remember me", BS_AUTOCHECKBOX, 10, 100, 150, 22, 1003);
    Make(L"Button", L"Red", BS_AUTORADIOBUTTON | WS_GROUP, 10, 130, 80, 22, 1004);
    Make(L"Button", L"Blue", BS_AUTORADIOBUTTON, 100, 130, 80, 22, 1005);
    HWND combo = Make(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 160, 200, 200, 1006);
    for (const wchar_t* item : {L"Apple", L"apricot", L"Banana", L"Cherry \u00e9"}) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    HWND list = Make(L"ListBox", L"", WS_BORDER | LBS_NOTIFY, 10, 190, 200, 80, 1007);
    for (const wchar_t* item : {L"one", L"two", L"three"}) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    Make(L"Static", L"Name:", 0, 220, 40, 80, 22, 1008);
    Make(L"Button", L"Off", WS_DISABLED, 220, 10, 80, 24, 1010);
    HWND view = Make(WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER, 320, 10, 300, 200, 1009);
    const wchar_t* headings[] = {L"Name", L"Size"};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 120;
        column.pszText = const_cast<wchar_t*>(headings[c]);
        SendMessageW(view, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    const wchar_t* cells[3][2] = {{L"a.txt", L"12 KB"}, {L"b \"q\".txt", L"3 KB"}, {L"\u65e5\u672c.txt", L"1 KB"}};
    for (int r = 0; r < 3; ++r) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<wchar_t*>(cells[r][0]);
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = const_cast<wchar_t*>(cells[r][1]);
        SendMessageW(view, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
    if (g_many) {
        for (int i = 0; i < 50; ++i) {
            const bool edit = i % 2 == 0;
            wchar_t text[32];
            wsprintfW(text, L"field %d", i);
            Make(edit ? L"Edit" : L"Static", text, edit ? WS_BORDER : 0, 640 + (i / 25) * 110, 10 + (i % 25) * 11, 100,
                 10, 2000 + i);
        }
    }
    LVITEMW selected{};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    SendMessageW(view, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&selected));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if (lParam != 0) Log("command %d %d", LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DIALOG_COMMAND: {
            const int id = static_cast<int>(lParam);
            HWND control = GetDlgItem(hwnd, id);
            switch (wParam) {
                case 't': {
                    wchar_t text[1024] = {};
                    GetWindowTextW(control, text, 1024);
                    Log("text %d %s", id, Utf8(text).c_str());
                    break;
                }
                case 'k': Log("checked %d %d", id, static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0))); break;
                case 's': {
                    const bool combo = id == 1006;
                    Log("selected %d %d", id, static_cast<int>(SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0)));
                    break;
                }
                case 'h': Log("hanging"); Sleep(static_cast<DWORD>(lParam)); Log("awake"); break;
                case 'c': DestroyWindow(hwnd); break;
            }
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

DWORD WINAPI ReadCommands(LPVOID) {
    char line[256];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char word[32] = {};
        long value = 0;
        if (std::sscanf(line, "%31s %ld", word, &value) < 1) continue;
        const std::string command = word;
        WPARAM code = 0;
        if (command == "text") code = 't';
        if (command == "checked") code = 'k';
        if (command == "selected") code = 's';
        if (command == "hang") code = 'h';
        if (command == "close") code = 'c';
        if (code != 0) PostMessageW(g_window, WM_DIALOG_COMMAND, code, value);
    }
    PostMessageW(g_window, WM_DIALOG_COMMAND, 'c', 0);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpW(argv[i], L"many") == 0) g_many = true;
    }
    INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"MarletDialog";
    RegisterClassW(&wc);
    g_window = CreateWindowExW(0, wc.lpszClassName, L"marlet dialog", WS_OVERLAPPEDWINDOW, 50, 50, g_many ? 880 : 660, 320, nullptr,
                               nullptr, instance, nullptr);
    if (g_window == nullptr) {
        Log("error CreateWindow %lu", GetLastError());
        return 1;
    }
    MakeControls();
    Log("hwnd 0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g_window)));
    Log("pid %lu", GetCurrentProcessId());
    ShowWindow(g_window, SW_SHOWNORMAL);
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

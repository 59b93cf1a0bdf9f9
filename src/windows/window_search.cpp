#include "windows/window_search.h"

#include "base/text.h"

#include <string>

namespace {

// One search through the top-level windows: what it looks for and what it has found.
struct TitleSearch {
    std::string target;  // lowered
    // Visible, uncloaked windows only, titles read whole; else every window, titles read as
    // `find` reads them.
    bool listedOnly;
    std::vector<WindowInfo>* list;  // every match, or null for the first one only
    HWND first = nullptr;
};

// A title as `find` reads it: the narrow form, at most 511 bytes.
std::string NarrowTitle(HWND hwnd) {
    char buf[512];
    const int n = GetWindowTextA(hwnd, buf, static_cast<int>(sizeof buf));
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

bool Listed(HWND hwnd) { return IsWindowVisible(hwnd) && !IsCloaked(hwnd); }

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM lParam) {
    TitleSearch& search = *reinterpret_cast<TitleSearch*>(lParam);
    std::string title;
    if (search.listedOnly) {
        if (!Listed(hwnd)) return TRUE;
        title = WindowTitle(hwnd);
        if (!search.target.empty() && !TitleContains(title, search.target)) return TRUE;
    } else {
        title = NarrowTitle(hwnd);
        if (title.empty() || !TitleContains(title, search.target)) return TRUE;
    }
    if (search.list == nullptr) {
        search.first = hwnd;
        return FALSE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const std::optional<Rect> frame = VisibleFrame(hwnd);
    search.list->push_back(WindowInfo{hwnd, std::move(title), WindowClass(hwnd), pid, frame ? *frame : Rect{0, 0, 0, 0},
                                      IsIconic(hwnd) != 0, IsZoomed(hwnd) != 0, false});
    return TRUE;
}

HWND FindFirst(std::string_view title, bool listedOnly) {
    TitleSearch search{ToLower(title), listedOnly, nullptr};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.first;
}

}  // namespace

HWND FindWindowByTitle(std::string_view title) { return FindFirst(title, false); }

HWND FindVisibleWindow(std::string_view title) { return FindFirst(title, true); }

std::vector<WindowInfo> ListWindows(std::string_view title) {
    std::vector<WindowInfo> list;
    TitleSearch search{ToLower(title), true, &list};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    const HWND front = GetForegroundWindow();
    for (WindowInfo& w : list) w.foreground = w.hwnd == front;
    return list;
}

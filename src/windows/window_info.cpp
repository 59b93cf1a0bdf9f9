#include "windows/window_info.h"

#include "base/text.h"
#include "base/utf16.h"

namespace {

// Reads a wide text through `read(buffer, size)`, which answers the units copied; the buffer
// grows until the text fits, so nothing is cut.
template <typename Read>
std::string ReadWideText(Read&& read) {
    std::vector<WCHAR> buffer(256);
    while (true) {
        const int n = read(buffer.data(), static_cast<int>(buffer.size()));
        if (n <= 0) return std::string();
        if (static_cast<std::size_t>(n) + 1 < buffer.size() || buffer.size() >= (1u << 24)) {
            return Utf16ToUtf8(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 4);
    }
}

std::string WindowClass(HWND hwnd) {
    return ReadWideText([hwnd](WCHAR* data, int size) { return GetClassNameW(hwnd, data, size); });
}

ScreenRect FromRect(const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; }

bool Listed(HWND hwnd) { return IsWindowVisible(hwnd) && !IsCloaked(hwnd); }

struct Search {
    std::string target;  // lowered
    std::vector<WindowInfo>* list;
    HWND first;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    if (!Listed(hwnd)) return TRUE;
    std::string title = WindowTitle(hwnd);
    if (!search.target.empty() && !TitleContains(title, search.target)) return TRUE;
    if (search.list == nullptr) {
        search.first = hwnd;
        return FALSE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const std::optional<ScreenRect> frame = VisibleFrame(hwnd);
    search.list->push_back(WindowInfo{hwnd, std::move(title), WindowClass(hwnd), pid,
                                      frame ? *frame : ScreenRect{0, 0, 0, 0}, IsIconic(hwnd) != 0, IsZoomed(hwnd) != 0,
                                      false});
    return TRUE;
}

}  // namespace

std::string WindowTitle(HWND hwnd) {
    return ReadWideText([hwnd](WCHAR* data, int size) { return GetWindowTextW(hwnd, data, size); });
}

bool TitleContains(std::string_view title, std::string_view loweredTarget) {
    return ToLower(title).find(loweredTarget) != std::string::npos;
}

bool IsCloaked(HWND hwnd) {
    DWORD cloaked = 0;
    return DwmGetWindowAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof cloaked) == S_OK && cloaked != 0;
}

std::optional<ScreenRect> VisibleFrame(HWND hwnd) {
    RECT r{};
    if (DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r) == S_OK && r.right > r.left &&
        r.bottom > r.top) {
        return FromRect(r);
    }
    if (!GetWindowRect(hwnd, &r)) return std::nullopt;
    return FromRect(r);
}

std::optional<ScreenRect> ClientArea(HWND hwnd) {
    RECT r{};
    POINT origin{0, 0};
    if (!GetClientRect(hwnd, &r) || !ClientToScreen(hwnd, &origin)) return std::nullopt;
    return ScreenRect{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom};
}

std::vector<WindowInfo> ListWindows(std::string_view title) {
    std::vector<WindowInfo> list;
    Search search{ToLower(title), &list, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    const HWND front = GetForegroundWindow();
    for (WindowInfo& w : list) w.foreground = w.hwnd == front;
    return list;
}

HWND FindVisibleWindow(std::string_view title) {
    Search search{ToLower(title), nullptr, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.first;
}

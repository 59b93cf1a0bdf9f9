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

Rect FromRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

HWND HandleFromValue(std::uint64_t value) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value)); }

std::uint64_t HandleValue(HWND hwnd) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd)); }

bool WindowExists(HWND hwnd) { return hwnd != nullptr && IsWindow(hwnd); }

std::string WindowClass(HWND hwnd) {
    return ReadWideText([hwnd](WCHAR* data, int size) { return GetClassNameW(hwnd, data, size); });
}

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

std::optional<Rect> VisibleFrame(HWND hwnd) {
    RECT r{};
    if (DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r) == S_OK && r.right > r.left &&
        r.bottom > r.top) {
        return FromRect(r);
    }
    if (!GetWindowRect(hwnd, &r)) return std::nullopt;
    return FromRect(r);
}

std::optional<Rect> ClientArea(HWND hwnd) {
    RECT r{};
    POINT origin{0, 0};
    if (!GetClientRect(hwnd, &r) || !ClientToScreen(hwnd, &origin)) return std::nullopt;
    return Rect{origin.x, origin.y, origin.x + r.right, origin.y + r.bottom};
}

#include "windows/window_search.h"

#include "base/text.h"

#include <string>

namespace {

// Carries the match out of the enumeration callback.
HWND foundWindow = nullptr;

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lParam) {
    const std::string& target = *reinterpret_cast<const std::string*>(lParam);
    char buf[512];
    const int n = GetWindowTextA(hwnd, buf, static_cast<int>(sizeof buf));
    if (n <= 0) return TRUE;
    const std::string wtitle = ToLower(std::string_view(buf, static_cast<std::size_t>(n)));
    if (wtitle.find(target) == std::string::npos) return TRUE;
    foundWindow = hwnd;
    return FALSE;
}

}  // namespace

HWND FindWindowByTitle(std::string_view title) {
    const std::string target = ToLower(title);
    foundWindow = nullptr;
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&target));
    return foundWindow;
}

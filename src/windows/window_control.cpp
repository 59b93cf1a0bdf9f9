#include "windows/window_control.h"

#include "platform/poll.h"
#include "windows/window_search.h"

#include <optional>

namespace {

bool InState(HWND hwnd, ShowState state) {
    const bool minimized = IsIconic(hwnd) != 0;
    const bool maximized = IsZoomed(hwnd) != 0;
    switch (state) {
        case ShowState::Minimized: return minimized;
        case ShowState::Maximized: return maximized && !minimized;
        case ShowState::Restored: return !minimized && !maximized;
    }
    return false;
}

int ShowCommand(ShowState state) {
    switch (state) {
        case ShowState::Minimized: return SW_MINIMIZE;
        case ShowState::Maximized: return SW_MAXIMIZE;
        case ShowState::Restored: return SW_RESTORE;
    }
    return SW_RESTORE;
}

bool FrameIs(HWND hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    const std::optional<Rect> frame = VisibleFrame(hwnd);
    if (!frame || frame->left != x || frame->top != y) return false;
    return width <= 0 || (frame->right - frame->left == width && frame->bottom - frame->top == height);
}

}  // namespace

const char* ShowStateName(ShowState state) {
    switch (state) {
        case ShowState::Minimized: return "minimized";
        case ShowState::Maximized: return "maximized";
        case ShowState::Restored: return "restored";
    }
    return "";
}

bool SetShowState(HWND hwnd, ShowState state) {
    if (InState(hwnd, state)) return true;
    // Posted to the window's thread: ShowWindow would wait for it.
    if (!ShowWindowAsync(hwnd, ShowCommand(state))) return false;
    // A window minimised from maximised is restored to maximised: restored means restored to
    // its normal size, so that takes one more request.
    bool askedAgain = false;
    return PollUntil(
        [&] {
            if (InState(hwnd, state)) return true;
            if (state == ShowState::Restored && !askedAgain && IsZoomed(hwnd) && !IsIconic(hwnd)) {
                ShowWindowAsync(hwnd, SW_RESTORE);
                askedAgain = true;
            }
            return false;
        },
        kStateTimeoutMs);
}

bool MoveWindowFrame(HWND hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    if (!SetShowState(hwnd, ShowState::Restored)) return false;
    // The window rectangle holds the frame and the invisible borders around it: place the
    // rectangle so that the frame lands where asked.
    RECT outer{};
    const std::optional<Rect> frame = VisibleFrame(hwnd);
    if (!frame || !GetWindowRect(hwnd, &outer)) return false;
    const std::int32_t left = frame->left - outer.left;
    const std::int32_t top = frame->top - outer.top;
    const std::int32_t right = outer.right - frame->right;
    const std::int32_t bottom = outer.bottom - frame->bottom;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;
    if (width <= 0) flags |= SWP_NOSIZE;
    const int cx = width > 0 ? width + left + right : 0;
    const int cy = width > 0 ? height + top + bottom : 0;
    if (!SetWindowPos(hwnd, nullptr, x - left, y - top, cx, cy, flags)) return false;
    return PollUntil([=] { return FrameIs(hwnd, x, y, width, height); }, kStateTimeoutMs);
}

DWORD RequestClose(HWND hwnd) {
    // WM_CLOSE is what the close button's command comes to in the window's own procedure; posted
    // straight, it reaches windows that have no system menu too.
    if (PostMessageW(hwnd, WM_CLOSE, 0, 0)) return 0;
    const DWORD code = GetLastError();
    return code != 0 ? code : ERROR_INVALID_WINDOW_HANDLE;
}

HWND WaitForWindow(std::string_view title, std::uint32_t timeoutMs) {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindVisibleWindow(title)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForClose(HWND hwnd, std::uint32_t timeoutMs) {
    return PollUntil([hwnd] { return !IsWindow(hwnd); }, timeoutMs);
}

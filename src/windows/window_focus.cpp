#include "windows/window_focus.h"

#include "platform/poll.h"

bool FocusWindow(HWND hwnd) {
    if (hwnd == nullptr || !IsWindow(hwnd)) return false;
    // Posted, not waited for: ShowWindow would wait on the window's thread, for ever if it has
    // stopped responding.
    if (IsIconic(hwnd)) ShowWindowAsync(hwnd, SW_RESTORE);
    if (SetForegroundWindow(hwnd) == 0) return false;
    // An accepted request is not yet a window in front (Wine applies it a moment later): input
    // sent before then goes to the old window. Done only once the system says so.
    return WaitForForeground(hwnd, kForegroundTimeoutMs);
}

bool WaitForForeground(HWND hwnd, std::uint32_t timeoutMs) {
    return PollUntil([hwnd] { return GetForegroundWindow() == hwnd; }, timeoutMs);
}

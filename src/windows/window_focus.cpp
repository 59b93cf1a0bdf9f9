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

HWND ForegroundWindow() { return GetForegroundWindow(); }

bool WaitForForeground(HWND hwnd, std::uint32_t timeoutMs) {
    return PollUntil([hwnd] { return GetForegroundWindow() == hwnd; }, timeoutMs);
}

namespace {

// How long each activation step waits for its request to show.
constexpr std::uint32_t kStepTimeoutMs = 500;

}  // namespace

bool ActivateWindow(HWND hwnd) {
    if (IsIconic(hwnd)) ShowWindowAsync(hwnd, SW_RESTORE);
    if (GetForegroundWindow() == hwnd) return true;
    // 1. Ask. Windows refuses while another process holds the foreground and marlet neither
    //    owns it nor sent the last input.
    if (SetForegroundWindow(hwnd) && WaitForForeground(hwnd, kStepTimeoutMs)) return true;
    // 2. Become the process that sent the last input (a mouse move by nothing), and ask again.
    INPUT nothing{};
    nothing.type = INPUT_MOUSE;
    nothing.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &nothing, sizeof(INPUT));
    if (SetForegroundWindow(hwnd) && WaitForForeground(hwnd, kStepTimeoutMs)) return true;
    // 3. Share the foreground thread's input for the request, and always give it back.
    const DWORD self = GetCurrentThreadId();
    const HWND front = GetForegroundWindow();
    const DWORD frontThread = front != nullptr ? GetWindowThreadProcessId(front, nullptr) : 0;
    const bool attached = frontThread != 0 && frontThread != self && AttachThreadInput(self, frontThread, TRUE);
    const BOOL asked = SetForegroundWindow(hwnd);
    if (attached) AttachThreadInput(self, frontThread, FALSE);
    return asked && WaitForForeground(hwnd, 2 * kStepTimeoutMs);
}


#include "windows/window_focus.h"

#include "platform/poll.h"

#include <memory>

namespace {

// Input older than this has been read, or its window is too busy to wait for.
constexpr DWORD kRecentInputMs = 1000;
// The longest wait for a window to read its input.
constexpr std::uint32_t kInputReadTimeoutMs = 500;
constexpr DWORD kInputReadPollMs = 1;

// Before the foreground moves from the window in front: waits, briefly, until that window's
// thread has read the input queued for it. Its focus goes with the foreground, and a key it reads
// after that reaches no window (a key-up lost leaves the key down for that window). A window is
// painted only when its thread has no input left to read, so a pixel of it is made invalid and the
// wait ends when it has been painted. Not for a window that has stopped responding, nor one that
// paints nothing (minimised or hidden), nor when no input came in the last moment.
void LetTheFrontWindowReadItsInput(HWND next) {
    const HWND front = GetForegroundWindow();
    if (front == nullptr || front == next || IsHungAppWindow(front) || IsIconic(front) || !IsWindowVisible(front)) {
        return;
    }
    LASTINPUTINFO last{sizeof(LASTINPUTINFO), 0};
    if (GetLastInputInfo(&last) == 0 || GetTickCount() - last.dwTime > kRecentInputMs) return;
    const RECT pixel{0, 0, 1, 1};
    if (RedrawWindow(front, &pixel, nullptr, RDW_INVALIDATE) == 0) return;
    PollUntil([front] { return GetUpdateRect(front, nullptr, FALSE) == 0; }, kInputReadTimeoutMs, kInputReadPollMs);
}

}  // namespace

bool FocusWindow(HWND hwnd) {
    if (hwnd == nullptr || !IsWindow(hwnd)) return false;
    // Posted, not waited for: ShowWindow would wait on the window's thread, for ever if it has
    // stopped responding.
    if (IsIconic(hwnd)) ShowWindowAsync(hwnd, SW_RESTORE);
    LetTheFrontWindowReadItsInput(hwnd);
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

// The last step's request, made from a thread of its own attached to the foreground thread's
// input: an attach resets the key state of the input joined and gives the attaching thread a
// new input, and marlet's own thread keeps its (Caps Lock is read there).
struct AttachedRequest {
    HWND hwnd;
    BOOL asked = FALSE;
};

DWORD WINAPI AskAttached(LPVOID parameter) {
    // The thread owns one reference to the request; the caller may have stopped waiting.
    const std::unique_ptr<std::shared_ptr<AttachedRequest>> request(static_cast<std::shared_ptr<AttachedRequest>*>(parameter));
    const DWORD self = GetCurrentThreadId();
    const HWND front = GetForegroundWindow();
    const DWORD frontThread = front != nullptr ? GetWindowThreadProcessId(front, nullptr) : 0;
    const bool attached = frontThread != 0 && frontThread != self && AttachThreadInput(self, frontThread, TRUE);
    (*request)->asked = SetForegroundWindow((*request)->hwnd);
    if (attached) AttachThreadInput(self, frontThread, FALSE);
    return 0;
}

bool AskFromAnAttachedThread(HWND hwnd) {
    auto request = std::make_shared<AttachedRequest>(AttachedRequest{hwnd});
    auto* forThread = new std::shared_ptr<AttachedRequest>(request);
    HANDLE thread = CreateThread(nullptr, 64 * 1024, AskAttached, forThread, 0, nullptr);
    if (thread == nullptr) {
        delete forThread;
        return false;
    }
    const bool ended = WaitForSingleObject(thread, 2 * kStepTimeoutMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended && request->asked != 0;
}

}  // namespace

bool ActivateWindow(HWND hwnd) {
    if (IsIconic(hwnd)) ShowWindowAsync(hwnd, SW_RESTORE);
    if (GetForegroundWindow() == hwnd) return true;
    LetTheFrontWindowReadItsInput(hwnd);
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
    return AskFromAnAttachedThread(hwnd) && WaitForForeground(hwnd, 2 * kStepTimeoutMs);
}


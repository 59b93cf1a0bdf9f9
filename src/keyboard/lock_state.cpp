#include "keyboard/lock_state.h"

#include "platform/win32.h"

bool CapsLockOn() {
    const DWORD self = GetCurrentThreadId();
    const HWND front = GetForegroundWindow();
    const DWORD target = front != nullptr ? GetWindowThreadProcessId(front, nullptr) : 0;
    const bool attached = target != 0 && target != self && AttachThreadInput(self, target, TRUE) != 0;
    const bool on = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (attached) AttachThreadInput(self, target, FALSE);
    return on;
}

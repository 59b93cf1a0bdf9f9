#include "keyboard/lock_state.h"

#include "platform/poll.h"

namespace {

// How long the read may take (a thread that only asks for a key state; never reached in practice).
constexpr DWORD kReadTimeoutMs = 1000;
// How long the first Caps Lock press is given to show in the system's reading.
constexpr std::uint32_t kShowTimeoutMs = 50;

DWORD WINAPI ReadCapsLock(LPVOID) { return (GetKeyState(VK_CAPITAL) & 1) != 0 ? 1 : 0; }

// Caps Lock in the key state of a thread made for the read.
bool SystemCapsLock() {
    HANDLE thread = CreateThread(nullptr, 64 * 1024, ReadCapsLock, nullptr, 0, nullptr);
    if (thread == nullptr) return false;
    DWORD on = 0;
    if (WaitForSingleObject(thread, kReadTimeoutMs) != WAIT_OBJECT_0 || GetExitCodeThread(thread, &on) == 0) on = 0;
    CloseHandle(thread);
    return on == 1;
}

bool IsCapsLock(const INPUT& in) {
    return in.type == INPUT_KEYBOARD && (in.ki.dwFlags & KEYEVENTF_UNICODE) == 0 && in.ki.wVk == VK_CAPITAL;
}

// How many of the records press Caps Lock (a down while it is not already down: the auto-repeat
// of a held key toggles nothing).
unsigned CapsLockPresses(std::span<const INPUT> records, bool heldBefore) {
    unsigned presses = 0;
    bool held = heldBefore;
    for (const INPUT& in : records) {
        if (!IsCapsLock(in)) continue;
        const bool up = (in.ki.dwFlags & KEYEVENTF_KEYUP) != 0;
        if (!up && !held) ++presses;
        held = !up;
    }
    return presses;
}

}  // namespace

bool LockKeys::CapsLockOn() {
    const bool system = SystemCapsLock();
    return reading_ == Reading::Stale ? system != toggled_ : system;
}

UINT LockKeys::Send(std::span<INPUT> records) {
    const auto count = static_cast<UINT>(records.size());
    bool any = false;
    for (const INPUT& in : records) any = any || IsCapsLock(in);
    if (!any) return SendInput(count, records.data(), sizeof(INPUT));

    const bool heldBefore = (GetAsyncKeyState(VK_CAPITAL) & 0x8000) != 0;
    const bool before = reading_ == Reading::Untried && SystemCapsLock();
    const UINT sent = SendInput(count, records.data(), sizeof(INPUT));
    if (CapsLockPresses(records.first(std::min(sent, count)), heldBefore) % 2 == 0) return sent;
    toggled_ = !toggled_;
    if (reading_ == Reading::Untried) {
        const bool shows = PollUntil([before] { return SystemCapsLock() != before; }, kShowTimeoutMs);
        reading_ = shows ? Reading::FollowsInput : Reading::Stale;
    }
    return sent;
}

// Waiting: a pause, and polling something another program does against a deadline.
#pragma once

#include "platform/win32.h"

#include <algorithm>
#include <cstdint>

// Pauses for `ms` milliseconds.
inline void Pause(std::uint32_t ms) { Sleep(static_cast<DWORD>(ms)); }

// How long a poll sleeps between two looks, in milliseconds.
inline constexpr DWORD kPollInterval = 10;

// Whether `done()` became true within `timeoutMs`: looks at once, then after each sleep of
// `intervalMs`, and never sleeps past the deadline. The tick count is whole milliseconds read a fraction of
// one late, so the deadline is one tick beyond the timeout: "timed out" is never said before the
// time asked for has passed in full.
template <typename Done>
bool PollUntil(Done&& done, std::uint32_t timeoutMs, DWORD intervalMs = kPollInterval) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs + 1;
    while (true) {
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(intervalMs, deadline - now)));
    }
}

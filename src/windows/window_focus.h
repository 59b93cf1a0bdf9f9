// Bringing a window to the foreground.
#pragma once

#include "platform/win32.h"

#include <cstdint>

// How long a foreground request may take to show, in milliseconds.
inline constexpr std::uint32_t kForegroundTimeoutMs = 1000;

// Restores the window if it is minimised, asks for it to become the foreground window and waits
// until it is. False for a null handle, a handle that names no window, a refused request, or a
// window that is not in front within kForegroundTimeoutMs.
bool FocusWindow(HWND hwnd);

// Whether the window is the foreground window within `timeoutMs`, polled.
bool WaitForForeground(HWND hwnd, std::uint32_t timeoutMs);

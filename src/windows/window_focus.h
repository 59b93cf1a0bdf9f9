// Bringing a window to the foreground, and telling which window is there.
#pragma once

#include "platform/win32.h"

#include <cstdint>

// How long a foreground request may take to show, in milliseconds.
inline constexpr std::uint32_t kForegroundTimeoutMs = 1000;

// The foreground window, or null when there is none.
HWND ForegroundWindow();

// Whether the window is the foreground window within `timeoutMs`, polled.
bool WaitForForeground(HWND hwnd, std::uint32_t timeoutMs);

// Restores the window if it is minimised, asks for it to become the foreground window and waits
// until it is. False for a null handle, a handle that names no window, a refused request, or a
// window that is not in front within kForegroundTimeoutMs.
bool FocusWindow(HWND hwnd);

// Brings the window to the foreground even when marlet is not the foreground process: restore if
// minimised; ask; when refused, send an empty mouse input (so that marlet sent the last input)
// and ask again; last, attach to the foreground thread's input, ask, and detach. Each step is
// judged by the foreground window, not by the request's answer. True when the window is in front.
bool ActivateWindow(HWND hwnd);

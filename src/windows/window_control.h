// Steering top-level windows: their state, place, closing, and waiting for them. Every request
// to another program's window is posted or time-limited, and its outcome is polled against a
// deadline: a window whose thread has stopped responding cannot hang the caller.
#pragma once

#include "platform/win32.h"
#include "windows/window_info.h"

#include <cstdint>
#include <string_view>

// How long a state or placement request may take to show, in milliseconds.
inline constexpr std::uint32_t kStateTimeoutMs = 2000;

enum class ShowState { Minimized, Maximized, Restored };

// The state's name as messages say it ("minimized", "maximized", "restored").
const char* ShowStateName(ShowState state);

// Asks the window to take `state` and waits until it has; false when it has not within
// kStateTimeoutMs.
bool SetShowState(HWND hwnd, ShowState state);

// Places the window's visible frame with its top-left at (x, y) and, when `width` is above 0,
// its size at width x height, restoring a minimised or maximised window first; waits until the
// frame is there. False when it is not within kStateTimeoutMs.
bool MoveWindowFrame(HWND hwnd, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// Asks the window to close, as its close button does (WM_CLOSE, posted); 0 when the request was
// posted, else the error code.
DWORD RequestClose(HWND hwnd);

// The first visible window whose title contains `title` within `timeoutMs`, or null.
HWND WaitForWindow(std::string_view title, std::uint32_t timeoutMs);

// Whether the window no longer exists within `timeoutMs`.
bool WaitForClose(HWND hwnd, std::uint32_t timeoutMs);

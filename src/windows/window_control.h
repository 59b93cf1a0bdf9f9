// Steering top-level windows: their state, place, closing, waiting for them, activation, and
// the session marlet's input reaches. Every request to another program's window is posted or
// time-limited, and its outcome is polled against a deadline: a window whose thread has stopped
// responding cannot hang the caller.
#pragma once

#include "platform/win32.h"
#include "windows/window_info.h"

#include <cstdint>
#include <string>

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

// The steps activation takes, in order; each stops the walk when the window is in front.
enum class ActivationStep { Asked, AskedAfterInput, AskedAttached };

// Brings the window to the foreground even when marlet is not the foreground process: restore if
// minimised; ask; when refused, send an empty mouse input (so that marlet sent the last input)
// and ask again; last, attach to the foreground thread's input, ask, and detach. Each step is
// judged by GetForegroundWindow, not by the request's answer. True when the window is in front.
bool ActivateWindow(HWND hwnd);

// Where marlet's input goes.
struct SessionInfo {
    std::uint32_t session;
    std::string desktop;  // the input desktop's name; empty when it cannot be opened
    bool interactive;     // a user's session and its Default desktop: input reaches someone
};

SessionInfo ReadSession();

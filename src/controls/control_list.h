// The controls inside a top-level window: every descendant as EnumChildWindows gives them, the
// names a client gives one (its handle, WINDOW/ClassNN, WINDOW/#ID), and the time-limited message
// every call to another program's control goes through.
#pragma once

#include "base/geometry.h"
#include "base/helper_threads.h"
#include "platform/win32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How long a control's thread is given to answer one message, in milliseconds. A thread that
// has stopped is not flagged as hung for seconds, so this limit is what bounds every call.
inline constexpr std::uint32_t kControlTimeoutMs = 2000;

// One message, sent with that limit (and at once refused for a thread flagged as hung); the
// control's answer, or nothing when it did not answer in time.
std::optional<LRESULT> SendToControl(HWND control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0,
                                     std::uint32_t timeoutMs = kControlTimeoutMs);

// The control's text as its WM_GETTEXT answers it, whole; nothing when it did not answer in time.
std::optional<std::string> MessageText(HWND control);

// "Timed out after 2000 ms waiting for 0x1a2b to answer".
std::string NoAnswer(HWND control);

// A handle as answers write it: 0x and lower-case hexadecimal.
std::string HandleText(HWND hwnd);

struct ControlInfo {
    HWND hwnd;
    HWND parent;
    int id;
    std::string className;
    std::string classNN;  // the class and its 1-based number among the window's controls of that class
    std::string text;     // empty for a password field
    bool password;        // an Edit with ES_PASSWORD: its text is not read
    Rect rect;            // virtual-screen pixels, right and bottom exclusive
    DWORD style;          // GWL_STYLE
    bool visible;
    bool enabled;
};

// Every descendant of `window`, in EnumChildWindows order, with its text, read by this thread and
// the helpers. An empty message when all answered, else the error (a control that did not answer
// in time).
std::string ListControls(HWND window, HelperThreads& helpers, std::vector<ControlInfo>& controls);

// The control of `window` with this ClassNN ("Button2": the class and its 1-based number among
// the window's controls of that class), or with this control id; null when there is none.
HWND ControlByClassNN(HWND window, std::string_view classNN);
HWND ControlById(HWND window, int id);

// The control's class name, UTF-8.
std::string ControlClass(HWND control);

// Whether a class name is `name`, the letters A to Z compared without case.
bool ClassIs(std::string_view className, std::string_view name);

// Whether the control is an Edit that hides its text (ES_PASSWORD).
bool IsPasswordField(HWND control);

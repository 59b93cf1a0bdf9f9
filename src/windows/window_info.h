// What a client can learn about a top-level window, read in one place: title, class, process,
// frame, client area and state. Nothing here waits on the window's thread.
#pragma once

#include "base/geometry.h"
#include "platform/win32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The handle a number names (as a client writes it), and the number of a handle.
HWND HandleFromValue(std::uint64_t value);
std::uint64_t HandleValue(HWND hwnd);

// Whether the handle names a window that exists (false for null).
bool WindowExists(HWND hwnd);

// One top-level window as `windows` lists it.
struct WindowInfo {
    HWND hwnd;
    std::string title;      // whole, UTF-8
    std::string className;  // UTF-8
    std::uint32_t pid;
    Rect frame;  // the visible frame, right and bottom exclusive
    bool minimized;
    bool maximized;
    bool foreground;
};

// The window's whole title (no length cut) as UTF-8; empty when it has none or is gone.
std::string WindowTitle(HWND hwnd);

// The window's class name as UTF-8.
std::string WindowClass(HWND hwnd);

// Whether `title` contains `target` with the letters A to Z compared without case, as `find`
// matches; `loweredTarget` is the search text already lowered.
bool TitleContains(std::string_view title, std::string_view loweredTarget);

// Whether the compositor hides the window (another virtual desktop, a suspended app).
bool IsCloaked(HWND hwnd);

// The frame as a person sees it: the compositor's extended frame bounds where it has them,
// else the window rectangle (which on Windows 10 includes invisible resize borders).
std::optional<Rect> VisibleFrame(HWND hwnd);

// The client area in virtual-screen pixels.
std::optional<Rect> ClientArea(HWND hwnd);


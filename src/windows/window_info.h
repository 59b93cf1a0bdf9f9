// What a client can learn about a top-level window, read in one place: title, class, process,
// frame, client area and state. Nothing here waits on the window's thread.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A rectangle in virtual-screen physical pixels; right and bottom lie one pixel beyond it.
struct ScreenRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// One top-level window as `windows` lists it.
struct WindowInfo {
    HWND hwnd;
    std::string title;      // whole, UTF-8
    std::string className;  // UTF-8
    std::uint32_t pid;
    ScreenRect frame;
    bool minimized;
    bool maximized;
    bool foreground;
};

// The window's whole title (no length cut) as UTF-8; empty when it has none or is gone.
std::string WindowTitle(HWND hwnd);

// Whether `title` contains `target` with the letters A to Z compared without case, as `find`
// matches; `loweredTarget` is the search text already lowered.
bool TitleContains(std::string_view title, std::string_view loweredTarget);

// Whether the compositor hides the window (another virtual desktop, a suspended app).
bool IsCloaked(HWND hwnd);

// The frame as a person sees it: the compositor's extended frame bounds where it has them,
// else the window rectangle (which on Windows 10 includes invisible resize borders).
std::optional<ScreenRect> VisibleFrame(HWND hwnd);

// The client area in virtual-screen pixels.
std::optional<ScreenRect> ClientArea(HWND hwnd);

// The visible, uncloaked top-level windows in z-order, front first, minimised ones included;
// with a non-empty `title`, only those whose title contains it (as `find` matches).
std::vector<WindowInfo> ListWindows(std::string_view title);

// The first visible, uncloaked top-level window whose title contains `title`, or null.
HWND FindVisibleWindow(std::string_view title);

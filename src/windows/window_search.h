// Finding top-level windows by a part of their title, the letters A to Z compared without case.
// Each search carries its own state through the enumeration: searches are reentrant.
#pragma once

#include "platform/win32.h"
#include "windows/window_info.h"

#include <string_view>
#include <vector>

// The first top-level window, in the system's order, whose title contains `title`; null when
// none does. Every window with a title takes part, hidden ones too; titles are read in the narrow
// form as at most 511 bytes, so a window with an empty title never matches.
HWND FindWindowByTitle(std::string_view title);

// The visible, uncloaked top-level windows in z-order, front first, minimised ones included,
// titles read whole; with a non-empty `title`, only those whose title contains it.
std::vector<WindowInfo> ListWindows(std::string_view title);

// The first window ListWindows would list for `title`, or null.
HWND FindVisibleWindow(std::string_view title);

// Finding a top-level window by a part of its title.
#pragma once

#include "platform/win32.h"

#include <string_view>

// The first top-level window, in the system's order, whose title contains `title` with the
// letters A to Z compared without case; null when none does. Titles are read as at most 511
// bytes. Not reentrant: the match travels through module state.
HWND FindWindowByTitle(std::string_view title);

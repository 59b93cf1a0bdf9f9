// Bringing a window to the foreground.
#pragma once

#include "platform/win32.h"

// Restores the window if it is minimised and asks for it to become the foreground window.
// False for a null handle, a handle that names no window, or a refused foreground change.
bool FocusWindow(HWND hwnd);

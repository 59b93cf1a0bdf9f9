// Where the pointer is.
#pragma once

#include "pointer/display_geometry.h"

#include <optional>

// The pointer's virtual-screen pixel, or nothing when the system does not tell it.
std::optional<PixelPoint> GetCursorPosition();

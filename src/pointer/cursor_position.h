// Where the pointer is.
#pragma once

#include "base/geometry.h"

#include <optional>

// The pointer's virtual-screen pixel, or nothing when the system does not tell it.
std::optional<Point> GetCursorPosition();

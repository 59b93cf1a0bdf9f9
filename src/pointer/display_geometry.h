// The virtual screen: the rectangle of all monitors, in physical pixels, origin at the top-left
// of the primary monitor.
#pragma once

#include "base/geometry.h"

// Reads the virtual-screen rectangle afresh from the system metrics.
Rect GetVirtualScreenBounds();

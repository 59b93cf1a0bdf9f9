// The virtual screen: the rectangle of all monitors, in physical pixels, origin at the top-left
// of the primary monitor.
#pragma once

#include <cstdint>

// left and top are the first column and row; right and bottom lie one pixel beyond the last.
struct ScreenBounds {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// A pixel of the virtual screen.
struct PixelPoint {
    std::int32_t x;
    std::int32_t y;
};

// Reads the virtual-screen rectangle afresh from the system metrics.
ScreenBounds GetVirtualScreenBounds();

// Virtual-screen pixels to the absolute input range (0..65535) of SendInput.
#pragma once

#include <cstdint>

// Clamps (x, y) into the virtual screen and maps it to the smallest absolute position that the
// platform decodes back to that pixel. Returns false, with both outputs 0, when the system
// reports no width or height for the virtual screen.
bool ScreenToAbsolute(std::int32_t x, std::int32_t y, std::int32_t& absX, std::int32_t& absY);

// Whether (x, y) names a position: only a point with a negative coordinate that also lies
// outside the virtual screen means "wherever the pointer is".
bool IsPosition(std::int32_t x, std::int32_t y);

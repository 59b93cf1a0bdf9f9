// Pointer input through SendInput: move, click and scroll at virtual-screen pixels.
#pragma once

#include "base/action_result.h"
#include "platform/win32.h"

#include <cstdint>
#include <limits>
#include <string_view>

// A point that no virtual screen contains: "no position", the pointer stays where it is.
inline constexpr std::int32_t kNoPosition = std::numeric_limits<std::int32_t>::min();

// Failure text when the virtual screen has no size to map a position onto.
inline constexpr std::string_view kNoScreenSize = "Screen size unavailable: cannot map a position";

// Moves the pointer to the virtual-screen pixel (x, y).
ActionResult MoveMouse(std::int32_t x, std::int32_t y);

// Moves to (x, y) unless it names no position, then presses and releases the named button
// ("left", "l", "primary", "right", "r", "secondary", "middle", "m", any case).
ActionResult ClickMouse(std::int32_t x, std::int32_t y, std::string_view button);

// Moves to (x, y) unless it names no position, then turns a wheel by `amount` (120 a notch):
// MOUSEEVENTF_WHEEL (positive away from the user) or MOUSEEVENTF_HWHEEL (positive to the right).
ActionResult TurnWheel(DWORD wheelFlag, std::int32_t amount, std::int32_t x, std::int32_t y);

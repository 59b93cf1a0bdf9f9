// Pointer input beyond a click: a button held or let go, a double-click, a drag, and a move by
// an offset. Positions are virtual-screen pixels, mapped as every pointer action maps them.
#pragma once

#include "base/action_result.h"
#include "platform/win32.h"

#include <cstdint>
#include <string_view>

// Moves to (x, y) unless it names no position (IsPosition), then sends the named button's down
// (or up) alone, carrying the position. The count is 1.
ActionResult PressButton(std::int32_t x, std::int32_t y, std::string_view button, bool down);

// Moves to (x, y), then sends down, up, down, up in one batch at that position, so the target
// sees a double-click (the system's double-click time and rectangle hold by construction). If
// the system takes a down but not its up, the button is released before the failure.
ActionResult DoubleClickMouse(std::int32_t x, std::int32_t y, std::string_view button);

// How many evenly spaced steps a drag takes after its first, at least.
inline constexpr int kDragSteps = 10;

// Moves to (x1, y1), presses the button, moves past the system's drag threshold toward
// (x2, y2), then in at least kDragSteps even steps to exactly (x2, y2), and releases the button
// there; `durationMs` is spread over the pauses between the steps. If any batch is refused the
// button is released before the failure is answered. The count is the records taken.
ActionResult DragMouse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::string_view button,
                       std::uint32_t durationMs);

// Moves the pointer by (dx, dy) from where it is, clamped to the virtual screen, as an absolute
// move (so no pointer acceleration applies).
ActionResult MoveMouseBy(std::int32_t dx, std::int32_t dy);

// Failure text when the pointer's position cannot be read.
inline constexpr std::string_view kNoCursorPosition = "Failed to get cursor position";

#include "pointer/mouse_gestures.h"

#include "pointer/coordinate_mapping.h"
#include "pointer/cursor_position.h"
#include "pointer/display_geometry.h"
#include "pointer/mouse_actions.h"
#include "pointer/mouse_records.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

// Sends one record at an absolute virtual-screen position (a move, with button flags if any).
UINT SendAt(std::int32_t x, std::int32_t y, DWORD buttonFlags, DWORD& error) {
    RecordPosition at;
    PositionRecords(x, y, true, at);
    INPUT in = MouseRecord(at.dx, at.dy, 0, buttonFlags | at.flags);
    const UINT sent = SendInput(1, &in, sizeof(INPUT));
    if (sent != 1) error = GetLastError();
    return sent;
}

}  // namespace

ActionResult PressButton(std::int32_t x, std::int32_t y, std::string_view button, bool down) {
    const bool hasPosition = IsPosition(x, y);
    if (hasPosition) {
        ActionResult moved = MoveMouse(x, y);
        if (!moved.success) return moved;
    }
    const std::optional<ButtonFlags> flags = FindButton(button);
    if (!flags) return Failed("Invalid button: " + std::string(button));
    RecordPosition at;
    if (!PositionRecords(x, y, hasPosition, at)) return Failed(std::string(kNoScreenSize));
    INPUT in = MouseRecord(at.dx, at.dy, 0, (down ? flags->down : flags->up) | at.flags);
    if (SendInput(1, &in, sizeof(INPUT)) != 1) {
        return Failed(Failure(down ? "Mouse down failed: " : "Mouse up failed: ", GetLastError()));
    }
    return Succeeded(1);
}

ActionResult DoubleClickMouse(std::int32_t x, std::int32_t y, std::string_view button) {
    ActionResult moved = MoveMouse(x, y);
    if (!moved.success) return moved;
    const std::optional<ButtonFlags> flags = FindButton(button);
    if (!flags) return Failed("Invalid button: " + std::string(button));
    RecordPosition at;
    if (!PositionRecords(x, y, true, at)) return Failed(std::string(kNoScreenSize));
    INPUT inputs[4] = {
        MouseRecord(at.dx, at.dy, 0, flags->down | at.flags), MouseRecord(at.dx, at.dy, 0, flags->up | at.flags),
        MouseRecord(at.dx, at.dy, 0, flags->down | at.flags), MouseRecord(at.dx, at.dy, 0, flags->up | at.flags)};
    const UINT sent = SendInput(4, inputs, sizeof(INPUT));
    if (sent == 4) return Succeeded(4);
    const DWORD code = GetLastError();
    // An odd number taken means a down without its up: release the button.
    if (sent % 2 == 1) SendInput(1, &inputs[1], sizeof(INPUT));
    return Failed(Failure("Double-click failed: ", code), sent);
}

ActionResult DragMouse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::string_view button,
                       std::uint32_t durationMs) {
    ActionResult moved = MoveMouse(x1, y1);
    if (!moved.success) return moved;
    const std::optional<ButtonFlags> flags = FindButton(button);
    if (!flags) return Failed("Invalid button: " + std::string(button));
    // Where the drag goes: the first step leaves the drag rectangle (the system starts a drag
    // only beyond SM_CXDRAG or SM_CYDRAG), the others share the way to the end evenly.
    const Rect screen = GetVirtualScreenBounds();
    if (screen.Empty()) return Failed(std::string(kNoScreenSize));
    const auto clampX = [&](double v) {
        return static_cast<std::int32_t>(std::clamp<double>(v, screen.left, screen.right - 1.0));
    };
    const auto clampY = [&](double v) {
        return static_cast<std::int32_t>(std::clamp<double>(v, screen.top, screen.bottom - 1.0));
    };
    const std::int32_t sx = clampX(x1);
    const std::int32_t sy = clampY(y1);
    const std::int32_t ex = clampX(x2);
    const std::int32_t ey = clampY(y2);
    const double dx = static_cast<double>(ex) - sx;
    const double dy = static_cast<double>(ey) - sy;
    const int thresholdX = std::max(GetSystemMetrics(SM_CXDRAG), 1);
    const int thresholdY = std::max(GetSystemMetrics(SM_CYDRAG), 1);
    std::vector<std::pair<std::int32_t, std::int32_t>> steps;
    if (std::abs(dx) > thresholdX || std::abs(dy) > thresholdY) {
        // The least part of the way that goes past the threshold on one axis.
        double t = 1.0;
        if (std::abs(dx) > thresholdX) t = std::min(t, (thresholdX + 1) / std::abs(dx));
        if (std::abs(dy) > thresholdY) t = std::min(t, (thresholdY + 1) / std::abs(dy));
        steps.emplace_back(clampX(std::round(sx + dx * t)), clampY(std::round(sy + dy * t)));
    } else {
        // A short drag still has to start as a drag: out past the threshold, then back.
        const double out = dx >= 0 ? 1.0 : -1.0;
        const std::int32_t outX = clampX(sx + out * (thresholdX + 1));
        steps.emplace_back(outX != sx ? outX : clampX(sx - out * (thresholdX + 1)), sy);
    }
    const std::int32_t fx = steps.front().first;
    const std::int32_t fy = steps.front().second;
    const double distance = std::hypot(ex - fx, ey - fy);
    const int count = std::clamp(static_cast<int>(distance / 50), kDragSteps, 200);
    for (int k = 1; k <= count; ++k) {
        steps.emplace_back(static_cast<std::int32_t>(std::lround(fx + (ex - fx) * static_cast<double>(k) / count)),
                           static_cast<std::int32_t>(std::lround(fy + (ey - fy) * static_cast<double>(k) / count)));
    }
    steps.back() = {ex, ey};

    DWORD error = 0;
    std::uint32_t taken = 0;
    if (SendAt(sx, sy, flags->down, error) != 1) return Failed(Failure("Drag failed: ", error), taken);
    ++taken;
    // The pauses: one before each step after the first and one before the release, together
    // exactly durationMs.
    const auto gaps = static_cast<std::uint32_t>(steps.size());
    std::uint32_t slept = 0;
    for (std::size_t i = 0; i <= steps.size(); ++i) {
        if (i > 0 && durationMs > 0) {
            const auto due = static_cast<std::uint32_t>(std::uint64_t{durationMs} * i / gaps);
            if (due > slept) Sleep(due - slept);
            slept = due;
        }
        const bool release = i == steps.size();
        const auto [x, y] = release ? steps.back() : steps[i];
        if (SendAt(x, y, release ? flags->up : 0, error) != 1) {
            // The button is down: let it go where the pointer is, so that nothing stays held.
            INPUT up = MouseRecord(0, 0, 0, flags->up | kAbsoluteFlags);
            SendInput(1, &up, sizeof(INPUT));
            return Failed(Failure("Drag failed: ", error), taken);
        }
        ++taken;
    }
    return Succeeded(taken);
}

ActionResult MoveMouseBy(std::int32_t dx, std::int32_t dy) {
    const std::optional<Point> pt = GetCursorPosition();
    if (!pt) return Failed(std::string(kNoCursorPosition));
    const Rect screen = GetVirtualScreenBounds();
    if (screen.Empty()) return Failed(std::string(kNoScreenSize));
    const std::int64_t x =
        std::clamp<std::int64_t>(std::int64_t{pt->x} + dx, screen.left, std::int64_t{screen.right} - 1);
    const std::int64_t y =
        std::clamp<std::int64_t>(std::int64_t{pt->y} + dy, screen.top, std::int64_t{screen.bottom} - 1);
    return MoveMouse(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
}

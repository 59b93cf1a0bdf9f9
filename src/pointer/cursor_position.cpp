#include "pointer/cursor_position.h"

#include "platform/win32.h"

std::optional<Point> GetCursorPosition() {
    POINT pt{};
    if (!GetCursorPos(&pt)) return std::nullopt;
    return Point{pt.x, pt.y};
}

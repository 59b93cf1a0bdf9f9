#include "pointer/cursor_position.h"

#include "platform/win32.h"

std::optional<PixelPoint> GetCursorPosition() {
    POINT pt{};
    if (!GetCursorPos(&pt)) return std::nullopt;
    return PixelPoint{pt.x, pt.y};
}

#include "pointer/mouse_records.h"

#include "base/error_text.h"
#include "base/text.h"
#include "pointer/coordinate_mapping.h"

std::optional<ButtonFlags> FindButton(std::string_view name) {
    const std::string btn = ToLower(name);
    if (btn == "left" || btn == "l" || btn == "primary") return ButtonFlags{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    if (btn == "right" || btn == "r" || btn == "secondary")
        return ButtonFlags{MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP};
    if (btn == "middle" || btn == "m") return ButtonFlags{MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
    return std::nullopt;
}

std::string_view ButtonName(DWORD downFlag) {
    switch (downFlag) {
        case MOUSEEVENTF_LEFTDOWN: return "left";
        case MOUSEEVENTF_RIGHTDOWN: return "right";
        case MOUSEEVENTF_MIDDLEDOWN: return "middle";
        default: return "?";
    }
}

INPUT MouseRecord(LONG dx, LONG dy, DWORD mouseData, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.mouseData = mouseData;
    in.mi.dwFlags = flags;
    return in;
}

bool PositionRecords(std::int32_t x, std::int32_t y, bool hasPosition, RecordPosition& at) {
    at = RecordPosition{};
    at.flags = kAbsoluteFlags;
    if (!hasPosition) return true;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    if (!ScreenToAbsolute(x, y, dx, dy)) return false;
    at.dx = dx;
    at.dy = dy;
    at.flags = MOUSEEVENTF_MOVE | kAbsoluteFlags;
    return true;
}

std::string Failure(std::string_view prefix, DWORD code) {
    std::string message(prefix);
    message += LastErrorText(code);
    return message;
}

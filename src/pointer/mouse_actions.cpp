#include "pointer/mouse_actions.h"

#include "base/error_text.h"
#include "base/text.h"
#include "platform/win32.h"
#include "pointer/coordinate_mapping.h"

#include <optional>
#include <string>

namespace {

// Absolute positions are mapped over the whole virtual screen, not just the primary monitor.
constexpr DWORD kAbsoluteFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;

struct ButtonFlags {
    DWORD down;
    DWORD up;
};

std::optional<ButtonFlags> FindButton(std::string_view name) {
    const std::string btn = ToLower(name);
    if (btn == "left" || btn == "l" || btn == "primary") return ButtonFlags{MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    if (btn == "right" || btn == "r" || btn == "secondary")
        return ButtonFlags{MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP};
    if (btn == "middle" || btn == "m") return ButtonFlags{MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
    return std::nullopt;
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

// The position part of button and wheel records. With a position they carry it themselves, as
// a move: the system otherwise applies them wherever the pointer is when it processes them,
// which may no longer be where the move before them put it (the user's hand, or a move the
// system applies late). Without one they stay where the pointer is.
struct RecordPosition {
    LONG dx = 0;
    LONG dy = 0;
    DWORD flags = 0;
};

bool PositionRecords(std::int32_t x, std::int32_t y, bool hasPosition, bool absolute, RecordPosition& at) {
    at = RecordPosition{};
    if (absolute) at.flags = kAbsoluteFlags;
    if (!hasPosition) return true;
    std::int32_t dx = x;
    std::int32_t dy = y;
    if (absolute && !ScreenToAbsolute(x, y, dx, dy)) return false;
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

}  // namespace

ActionResult MoveMouse(std::int32_t x, std::int32_t y, bool absolute) {
    std::int32_t absX = x;
    std::int32_t absY = y;
    if (absolute && !ScreenToAbsolute(x, y, absX, absY)) return Failed(std::string(kNoScreenSize));
    INPUT in = MouseRecord(absX, absY, 0, MOUSEEVENTF_MOVE | kAbsoluteFlags);
    if (SendInput(1, &in, sizeof(INPUT)) != 1) return Failed(Failure("SendInput move failed: ", GetLastError()));
    return Succeeded(1);
}

ActionResult ClickMouse(std::int32_t x, std::int32_t y, std::string_view button, bool absolute, std::int32_t delayMs) {
    const bool hasPosition = IsPosition(x, y);
    if (hasPosition) {
        ActionResult moveResult = MoveMouse(x, y, absolute);
        if (!moveResult.success) return moveResult;
    }
    const std::optional<ButtonFlags> flags = FindButton(button);
    if (!flags) return Failed("Invalid button: " + std::string(button));

    RecordPosition at;
    if (!PositionRecords(x, y, hasPosition, absolute, at)) return Failed(std::string(kNoScreenSize));
    INPUT inputs[2] = {MouseRecord(at.dx, at.dy, 0, flags->down | at.flags),
                       MouseRecord(at.dx, at.dy, 0, flags->up | at.flags)};
    if (delayMs > 0) Sleep(static_cast<DWORD>(delayMs));
    const UINT sent = SendInput(2, inputs, sizeof(INPUT));
    if (sent == 2) return Succeeded(2);
    const DWORD code = GetLastError();
    // The button went down but not up: release it, so that no button stays held.
    if (sent == 1) SendInput(1, &inputs[1], sizeof(INPUT));
    return Failed(Failure("Click failed: ", code), sent);
}

ActionResult ScrollMouse(std::int32_t amount, std::int32_t x, std::int32_t y, bool absolute) {
    const bool hasPosition = IsPosition(x, y);
    if (hasPosition) {
        ActionResult moveResult = MoveMouse(x, y, absolute);
        if (!moveResult.success) return moveResult;
    }
    RecordPosition at;
    if (!PositionRecords(x, y, hasPosition, absolute, at)) return Failed(std::string(kNoScreenSize));
    INPUT in = MouseRecord(at.dx, at.dy, static_cast<DWORD>(amount), MOUSEEVENTF_WHEEL | at.flags);
    if (SendInput(1, &in, sizeof(INPUT)) != 1) return Failed(Failure("Scroll failed: ", GetLastError()));
    return Succeeded(1);
}

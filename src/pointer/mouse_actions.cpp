#include "pointer/mouse_actions.h"

#include "base/error_text.h"
#include "base/text.h"
#include "platform/win32.h"
#include "pointer/coordinate_mapping.h"
#include "pointer/mouse_records.h"

#include <optional>
#include <string>

ActionResult MoveMouse(std::int32_t x, std::int32_t y) {
    std::int32_t absX = 0;
    std::int32_t absY = 0;
    if (!ScreenToAbsolute(x, y, absX, absY)) return Failed(std::string(kNoScreenSize));
    INPUT in = MouseRecord(absX, absY, 0, MOUSEEVENTF_MOVE | kAbsoluteFlags);
    if (SendInput(1, &in, sizeof(INPUT)) != 1) return Failed(Failure("SendInput move failed: ", GetLastError()));
    return Succeeded(1);
}

ActionResult ClickMouse(std::int32_t x, std::int32_t y, std::string_view button) {
    const bool hasPosition = IsPosition(x, y);
    if (hasPosition) {
        ActionResult moveResult = MoveMouse(x, y);
        if (!moveResult.success) return moveResult;
    }
    const std::optional<ButtonFlags> flags = FindButton(button);
    if (!flags) return Failed("Invalid button: " + std::string(button));

    RecordPosition at;
    if (!PositionRecords(x, y, hasPosition, at)) return Failed(std::string(kNoScreenSize));
    INPUT inputs[2] = {MouseRecord(at.dx, at.dy, 0, flags->down | at.flags),
                       MouseRecord(at.dx, at.dy, 0, flags->up | at.flags)};
    const UINT sent = SendInput(2, inputs, sizeof(INPUT));
    if (sent == 2) return Succeeded(2);
    const DWORD code = GetLastError();
    // The button went down but not up: release it, so that no button stays held.
    if (sent == 1) SendInput(1, &inputs[1], sizeof(INPUT));
    return Failed(Failure("Click failed: ", code), sent);
}

ActionResult TurnWheel(DWORD wheelFlag, std::int32_t amount, std::int32_t x, std::int32_t y) {
    const bool hasPosition = IsPosition(x, y);
    if (hasPosition) {
        ActionResult moveResult = MoveMouse(x, y);
        if (!moveResult.success) return moveResult;
    }
    RecordPosition at;
    if (!PositionRecords(x, y, hasPosition, at)) return Failed(std::string(kNoScreenSize));
    INPUT in = MouseRecord(at.dx, at.dy, static_cast<DWORD>(amount), wheelFlag | at.flags);
    if (SendInput(1, &in, sizeof(INPUT)) != 1) return Failed(Failure("Scroll failed: ", GetLastError()));
    return Succeeded(1);
}

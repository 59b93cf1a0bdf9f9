#include "daemon/commands.h"
#include "daemon/number_parsing.h"
#include "daemon/response.h"
#include "pointer/cursor_position.h"
#include "pointer/display_geometry.h"
#include "pointer/mouse_actions.h"

#include <optional>

namespace {

Flow Click(const Args& args, Session& session, const char* defaultButton) {
    if (MissingArgument(args, session, "Usage: click X,Y [button]")) return Flow::Continue;
    const std::optional<Coords> at = ReadCoords(args[1]);
    if (!at) {
        RespondError(session.out, "Invalid coordinates: use X,Y");
        return Flow::Continue;
    }
    const std::string_view button = args.size() > 2 ? std::string_view(args[2]) : std::string_view(defaultButton);
    RespondAction(session.out, ClickMouse(at->x, at->y, button, true, 0));
    return Flow::Continue;
}

}  // namespace

Flow ClickCommand(const Args& args, Session& session) { return Click(args, session, "left"); }

Flow RightClickCommand(const Args& args, Session& session) { return Click(args, session, "right"); }

Flow MoveCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: move X,Y")) return Flow::Continue;
    const std::optional<Coords> at = ReadCoords(args[1]);
    if (!at) {
        RespondError(session.out, "Invalid coordinates");
        return Flow::Continue;
    }
    RespondAction(session.out, MoveMouse(at->x, at->y, true));
    return Flow::Continue;
}

namespace {

// scroll and hscroll: N, then a position unless the pointer is to stay where it is.
Flow Wheel(const Args& args, Session& session, DWORD wheelFlag, std::string_view usage) {
    if (MissingArgument(args, session, usage)) return Flow::Continue;
    const std::int32_t amount = ParseDecimal(args[1]);
    Coords at{kNoPosition, kNoPosition};
    if (args.size() > 2) {
        // Without a comma the third argument names no position, and that is no error.
        if (const std::optional<Coords> given = ReadCoords(args[2])) at = *given;
    }
    RespondAction(session.out, TurnWheel(wheelFlag, amount, at.x, at.y, true));
    return Flow::Continue;
}

}  // namespace

Flow ScrollCommand(const Args& args, Session& session) {
    return Wheel(args, session, MOUSEEVENTF_WHEEL, "Usage: scroll N [X,Y]");
}

Flow HorizontalScrollCommand(const Args& args, Session& session) {
    return Wheel(args, session, MOUSEEVENTF_HWHEEL, "Usage: hscroll N [X,Y]");
}

Flow PosCommand(const Args&, Session& session) {
    const std::optional<PixelPoint> pos = GetCursorPosition();
    if (!pos) {
        RespondError(session.out, "Failed to get cursor position");
        return Flow::Continue;
    }
    WritePositionLine(session.out, pos->x, pos->y);
    return Flow::Continue;
}

Flow ScreenCommand(const Args&, Session& session) {
    const ScreenBounds bounds = GetVirtualScreenBounds();
    WriteBoundsLine(session.out, bounds.left, bounds.top, bounds.right, bounds.bottom);
    return Flow::Continue;
}

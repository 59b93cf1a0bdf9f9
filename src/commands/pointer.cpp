// The pointer commands: move, click, scroll, hold and let go of buttons, double-click, drag, and
// where the pointer and the screen are.
#include "commands/families.h"
#include "daemon/arguments.h"
#include "daemon/daemon_state.h"
#include "protocol/envelope.h"
#include "protocol/number_parsing.h"
#include "pointer/cursor_position.h"
#include "pointer/display_geometry.h"
#include "pointer/mouse_actions.h"
#include "pointer/mouse_gestures.h"
#include "pointer/mouse_records.h"

#include <optional>

namespace {

Flow Click(const Args& args, Session& session, const char* defaultButton) {
    if (MissingArgument(args, session, "Usage: click X,Y [button]")) return Flow::Continue;
    const std::optional<Point> at = PositionArgument(args[1], session);
    if (!at) return Flow::Continue;
    const std::string_view button = args.size() > 2 ? std::string_view(args[2]) : std::string_view(defaultButton);
    RespondAction(session.out, ClickMouse(at->x, at->y, button));
    return Flow::Continue;
}

Flow ClickCommand(const Args& args, Session& session) { return Click(args, session, "left"); }

Flow RightClickCommand(const Args& args, Session& session) { return Click(args, session, "right"); }

Flow MoveCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: move X,Y")) return Flow::Continue;
    const std::optional<Point> at = PositionArgument(args[1], session, "Invalid coordinates");
    if (!at) return Flow::Continue;
    RespondAction(session.out, MoveMouse(at->x, at->y));
    return Flow::Continue;
}

// scroll and hscroll: N, then a position unless the pointer is to stay where it is.
Flow Wheel(const Args& args, Session& session, DWORD wheelFlag, std::string_view usage) {
    if (MissingArgument(args, session, usage)) return Flow::Continue;
    const std::int32_t amount = ParseDecimal(args[1]);
    Point at{kNoPosition, kNoPosition};
    if (args.size() > 2) {
        // Without a comma the third argument names no position, and that is no error.
        if (const std::optional<Point> given = ReadCoords(args[2])) at = *given;
    }
    RespondAction(session.out, TurnWheel(wheelFlag, amount, at.x, at.y));
    return Flow::Continue;
}

Flow ScrollCommand(const Args& args, Session& session) {
    return Wheel(args, session, MOUSEEVENTF_WHEEL, "Usage: scroll N [X,Y]");
}

Flow HorizontalScrollCommand(const Args& args, Session& session) {
    return Wheel(args, session, MOUSEEVENTF_HWHEEL, "Usage: hscroll N [X,Y]");
}

Flow PosCommand(const Args&, Session& session) {
    const std::optional<Point> pos = GetCursorPosition();
    if (!pos) {
        RespondError(session.out, kNoCursorPosition);
        return Flow::Continue;
    }
    JsonLine(session.out).Raw("{\"status\":\"ok\",\"x\":").Number(pos->x).Raw(",\"y\":").Number(pos->y).Raw("}\n");
    return Flow::Continue;
}

Flow ScreenCommand(const Args&, Session& session) {
    RespondRect(session.out, GetVirtualScreenBounds());
    return Flow::Continue;
}

Flow Button(const Args& args, Session& session, bool down) {
    const std::string_view usage = down ? "Usage: mousedown [X,Y] [button]" : "Usage: mouseup [X,Y] [button]";
    Point at{kNoPosition, kNoPosition};
    std::string_view button = "left";
    bool hasPosition = false;
    bool hasButton = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::optional<Point> coords = ReadCoords(args[i]);
        if (coords && !hasPosition && !hasButton) {
            at = *coords;
            hasPosition = true;
        } else if (!coords && !hasButton) {
            button = args[i];
            hasButton = true;
        } else {
            RespondError(session.out, usage);
            return Flow::Continue;
        }
    }
    const ActionResult result = PressButton(at.x, at.y, button, down);
    if (result.success) {
        const DWORD flag = FindButton(button)->down;
        if (down) {
            session.state.held.ButtonDown(flag);
        } else {
            session.state.held.ButtonUp(flag);
        }
    }
    RespondAction(session.out, result);
    return Flow::Continue;
}

Flow MouseDownCommand(const Args& args, Session& session) { return Button(args, session, true); }

Flow MouseUpCommand(const Args& args, Session& session) { return Button(args, session, false); }

Flow DoubleClickCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: dclick X,Y [button]")) return Flow::Continue;
    const std::optional<Point> at = PositionArgument(args[1], session);
    if (!at) return Flow::Continue;
    RespondAction(session.out, DoubleClickMouse(at->x, at->y, args.size() > 2 ? std::string_view(args[2]) : "left"));
    return Flow::Continue;
}

// Whether the argument is a number as the delay arguments are written (an optional sign, then
// a digit): anything else in that place is a button name.
bool LooksNumeric(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

Flow DragCommand(const Args& args, Session& session) {
    constexpr std::string_view kUsage = "Usage: drag X1,Y1 X2,Y2 [button] [MS]";
    if (args.size() < 3 || args.size() > 5) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    const std::optional<Point> from = ReadCoords(args[1]);
    const std::optional<Point> to = ReadCoords(args[2]);
    if (!from || !to) {
        RespondError(session.out, kUseXY);
        return Flow::Continue;
    }
    std::string_view button = "left";
    std::uint32_t ms = 100;
    std::size_t next = 3;
    if (next < args.size() && !LooksNumeric(args[next])) button = args[next++];
    if (next < args.size()) {
        const std::optional<std::uint32_t> given = NonNegativeMs(args[next++], session, "duration");
        if (!given) return Flow::Continue;
        ms = *given;
    }
    if (next != args.size()) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    RespondAction(session.out, DragMouse(from->x, from->y, to->x, to->y, button, ms));
    return Flow::Continue;
}

Flow MoveByCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: moveby DX,DY")) return Flow::Continue;
    const std::optional<Point> by = PositionArgument(args[1], session, "Invalid coordinates");
    if (!by) return Flow::Continue;
    RespondAction(session.out, MoveMouseBy(by->x, by->y));
    return Flow::Continue;
}

// clang-format off
constexpr CommandRow kRows[] = {
    {"move", MoveCommand},
    {"click", ClickCommand},
    {"pos", PosCommand},
    {"rclick", RightClickCommand},
    {"scroll", ScrollCommand},
    {"screen", ScreenCommand},
    {"mousedown", MouseDownCommand},
    {"mouseup", MouseUpCommand},
    {"dclick", DoubleClickCommand},
    {"drag", DragCommand},
    {"hscroll", HorizontalScrollCommand},
    {"moveby", MoveByCommand},
};
// clang-format on

}  // namespace

std::span<const CommandRow> PointerCommands() { return kRows; }

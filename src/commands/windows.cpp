// The window commands: find, list and steer top-level windows, wait for them, and say where
// marlet's input goes.
#include "base/error_text.h"
#include "commands/families.h"
#include "daemon/arguments.h"
#include "protocol/envelope.h"
#include "protocol/number_parsing.h"
#include "windows/session.h"
#include "windows/window_control.h"
#include "windows/window_focus.h"
#include "windows/window_info.h"
#include "windows/window_search.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

// The answer of a found window: {"status":"ok","hwnd":"0x.."}.
void WriteHandleLine(std::ostream& out, HWND hwnd) {
    JsonLine(out).Raw("{\"status\":\"ok\",\"hwnd\":\"").Handle(HandleValue(hwnd)).Raw("\"}\n");
}

Flow FindCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: find \"window title\"")) return Flow::Continue;
    const std::string title = JoinArgs(args, 1, ' ');
    const HWND hwnd = FindWindowByTitle(title);
    if (hwnd == nullptr) {
        RespondError(session.out, {"Window not found: ", title});
        return Flow::Continue;
    }
    WriteHandleLine(session.out, hwnd);
    return Flow::Continue;
}

Flow FocusCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: focus HWND")) return Flow::Continue;
    const HWND hwnd = WindowArgument(args[1], session);
    if (hwnd == nullptr) return Flow::Continue;
    if (!FocusWindow(hwnd)) {
        RespondError(session.out, "Failed to bring window to front");
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

// The `windows` answer: {"status":"ok","windows":[{...},...]}.
void WriteWindowList(std::ostream& out, const std::vector<WindowInfo>& windows) {
    JsonLine line(out);
    line.Raw("{\"status\":\"ok\",\"windows\":[");
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const WindowInfo& w = windows[i];
        if (i > 0) line.Raw(",");
        line.Raw("{\"hwnd\":\"").Handle(HandleValue(w.hwnd)).Raw("\",\"title\":").String(w.title);
        line.Raw(",\"class\":").String(w.className).Raw(",\"pid\":").Number(w.pid);
        line.Raw(",\"left\":").Number(w.frame.left).Raw(",\"top\":").Number(w.frame.top);
        line.Raw(",\"right\":").Number(w.frame.right).Raw(",\"bottom\":").Number(w.frame.bottom);
        line.Raw(",\"minimized\":").Bool(w.minimized).Raw(",\"maximized\":").Bool(w.maximized);
        line.Raw(",\"foreground\":").Bool(w.foreground).Raw("}");
    }
    line.Raw("]}\n");
}

Flow WindowsCommand(const Args& args, Session& session) {
    WriteWindowList(session.out, ListWindows(JoinArgs(args, 1, ' ')));
    return Flow::Continue;
}

Flow ActiveCommand(const Args&, Session& session) {
    const HWND hwnd = ForegroundWindow();
    if (hwnd == nullptr) {
        RespondError(session.out, "No foreground window");
        return Flow::Continue;
    }
    JsonLine(session.out)
        .Raw("{\"status\":\"ok\",\"hwnd\":\"")
        .Handle(HandleValue(hwnd))
        .Raw("\",\"title\":")
        .String(WindowTitle(hwnd))
        .Raw("}\n");
    return Flow::Continue;
}

void RespondRectOf(Session& session, const std::optional<Rect>& rect) {
    if (!rect) {
        RespondError(session.out, "Invalid HWND");
        return;
    }
    RespondRect(session.out, *rect);
}

Flow RectCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: rect HWND")) return Flow::Continue;
    if (const HWND hwnd = WindowArgument(args[1], session)) RespondRectOf(session, VisibleFrame(hwnd));
    return Flow::Continue;
}

Flow ClientCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: client HWND")) return Flow::Continue;
    if (const HWND hwnd = WindowArgument(args[1], session)) RespondRectOf(session, ClientArea(hwnd));
    return Flow::Continue;
}

Flow StateCommand(const Args& args, Session& session, ShowState state, std::string_view usage) {
    if (MissingArgument(args, session, usage)) return Flow::Continue;
    const HWND hwnd = WindowArgument(args[1], session);
    if (hwnd == nullptr) return Flow::Continue;
    if (!SetShowState(hwnd, state)) {
        ErrorLine(session.out).TimedOut(kStateTimeoutMs).Handle(HandleValue(hwnd)).Text(" to be ").Text(
            ShowStateName(state));
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

Flow MinimizeCommand(const Args& args, Session& session) {
    return StateCommand(args, session, ShowState::Minimized, "Usage: minimize HWND");
}

Flow MaximizeCommand(const Args& args, Session& session) {
    return StateCommand(args, session, ShowState::Maximized, "Usage: maximize HWND");
}

Flow RestoreCommand(const Args& args, Session& session) {
    return StateCommand(args, session, ShowState::Restored, "Usage: restore HWND");
}

Flow CloseCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: close HWND")) return Flow::Continue;
    const HWND hwnd = WindowArgument(args[1], session);
    if (hwnd == nullptr) return Flow::Continue;
    const DWORD code = RequestClose(hwnd);
    if (code != 0) {
        RespondError(session.out, {"Close failed: ", LastErrorText(code)});
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

Flow MoveWindowCommand(const Args& args, Session& session) {
    constexpr std::string_view kUsage = "Usage: movewindow HWND X,Y [W,H]";
    if (args.size() < 3 || args.size() > 4) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    const HWND hwnd = WindowArgument(args[1], session);
    if (hwnd == nullptr) return Flow::Continue;
    const std::optional<Point> at = PositionArgument(args[2], session);
    if (!at) return Flow::Continue;
    Point size{0, 0};
    if (args.size() == 4) {
        const std::optional<Point> given = ReadCoords(args[3]);
        if (!given || given->x <= 0 || given->y <= 0) {
            RespondError(session.out, kUsage);
            return Flow::Continue;
        }
        size = *given;
    }
    if (!MoveWindowFrame(hwnd, at->x, at->y, size.x, size.y)) {
        ErrorLine(session.out).TimedOut(kStateTimeoutMs).Handle(HandleValue(hwnd)).Text(" to move");
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

Flow WaitWindowCommand(const Args& args, Session& session) {
    if (args.size() < 3) {
        RespondError(session.out, "Usage: waitwindow MS TITLE");
        return Flow::Continue;
    }
    const std::optional<std::uint32_t> ms = TimeoutArgument(args[1], session);
    if (!ms) return Flow::Continue;
    const std::string title = JoinArgs(args, 2, ' ');
    const HWND hwnd = WaitForWindow(title, *ms);
    if (hwnd == nullptr) {
        ErrorLine(session.out).TimedOut(*ms).Text("window: ").Text(title);
        return Flow::Continue;
    }
    WriteHandleLine(session.out, hwnd);
    return Flow::Continue;
}

Flow WaitCloseCommand(const Args& args, Session& session) {
    if (args.size() < 3) {
        RespondError(session.out, "Usage: waitclose MS HWND");
        return Flow::Continue;
    }
    const std::optional<std::uint32_t> ms = TimeoutArgument(args[1], session);
    if (!ms) return Flow::Continue;
    const HWND hwnd = HandleArgument(args[2]);
    if (hwnd == nullptr) {
        RespondError(session.out, "Invalid HWND");
        return Flow::Continue;
    }
    // A window that is already gone is what the client waits for: answered at once.
    if (!WaitForClose(hwnd, *ms)) {
        ErrorLine(session.out).TimedOut(*ms).Handle(HandleValue(hwnd)).Text(" to close");
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

Flow ActivateCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: activate HWND")) return Flow::Continue;
    const HWND hwnd = WindowArgument(args[1], session);
    if (hwnd == nullptr) return Flow::Continue;
    if (ActivateWindow(hwnd)) {
        RespondOk(session.out);
        return Flow::Continue;
    }
    const HWND front = ForegroundWindow();
    ErrorLine line(session.out);
    line.Text("Failed to activate ").Handle(HandleValue(hwnd)).Text(": ");
    if (front == nullptr) {
        line.Text("no window is in front");
    } else {
        line.Handle(HandleValue(front)).Text(" (").Text(WindowTitle(front)).Text(") is still in front");
    }
    return Flow::Continue;
}

Flow SessionCommand(const Args&, Session& session) {
    const SessionInfo info = ReadSession();
    JsonLine(session.out)
        .Raw("{\"status\":\"ok\",\"session\":")
        .Number(info.session)
        .Raw(",\"desktop\":")
        .String(info.desktop)
        .Raw(",\"interactive\":")
        .Bool(info.interactive)
        .Raw("}\n");
    return Flow::Continue;
}

// clang-format off
constexpr CommandRow kRows[] = {
    {"find", FindCommand},
    {"focus", FocusCommand},
    {"foreground", FocusCommand},
    {"windows", WindowsCommand},
    {"active", ActiveCommand},
    {"rect", RectCommand},
    {"client", ClientCommand},
    {"minimize", MinimizeCommand},
    {"maximize", MaximizeCommand},
    {"restore", RestoreCommand},
    {"close", CloseCommand},
    {"movewindow", MoveWindowCommand},
    {"waitwindow", WaitWindowCommand},
    {"waitclose", WaitCloseCommand},
    {"activate", ActivateCommand},
    {"session", SessionCommand},
};
// clang-format on

}  // namespace

std::span<const CommandRow> WindowCommands() { return kRows; }

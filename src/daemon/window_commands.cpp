#include "daemon/commands.h"
#include "daemon/number_parsing.h"
#include "daemon/response.h"
#include "platform/win32.h"
#include "base/error_text.h"
#include "windows/window_control.h"
#include "windows/window_focus.h"
#include "windows/window_info.h"
#include "windows/window_search.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

Flow FindCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: find \"window title\"")) return Flow::Continue;
    const std::string title = JoinArgs(args, 1, ' ');
    const HWND hwnd = FindWindowByTitle(title);
    if (hwnd == nullptr) {
        RespondError(session.out, {"Window not found: ", title});
        return Flow::Continue;
    }
    WriteHandleLine(session.out, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return Flow::Continue;
}

Flow FocusCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: focus HWND")) return Flow::Continue;
    const std::uint64_t value = ParseHandle(args[1]);
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
    if (hwnd == nullptr || !IsWindow(hwnd)) {
        RespondError(session.out, "Invalid HWND");
        return Flow::Continue;
    }
    if (!FocusWindow(hwnd)) {
        RespondError(session.out, "Failed to bring window to front");
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

namespace {

std::uint64_t HandleValue(HWND hwnd) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd)); }

// The window an argument names, checked as focus checks it; null, with the error answered, when
// it names none. A handle that does not parse throws, as focus's does.
HWND WindowArgument(const std::string& text, Session& session) {
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(ParseHandle(text)));
    if (hwnd == nullptr || !IsWindow(hwnd)) {
        RespondError(session.out, "Invalid HWND");
        return nullptr;
    }
    return hwnd;
}

// A timeout in milliseconds, read as wait reads its N; nothing, with the error answered, when
// it is negative.
std::optional<std::uint32_t> TimeoutArgument(const std::string& text, Session& session) {
    const std::int32_t ms = ParseDecimal(text);
    if (ms < 0) {
        RespondError(session.out, "Invalid timeout: MS must not be negative");
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(ms);
}

void RespondRect(Session& session, const std::optional<ScreenRect>& rect) {
    if (!rect) {
        RespondError(session.out, "Invalid HWND");
        return;
    }
    WriteBoundsLine(session.out, rect->left, rect->top, rect->right, rect->bottom);
}

Flow StateCommand(const Args& args, Session& session, ShowState state, std::string_view usage) {
    if (MissingArgument(args, session, usage)) return Flow::Continue;
    const HWND hwnd = WindowArgument(args[1], session);
    if (hwnd == nullptr) return Flow::Continue;
    if (!SetShowState(hwnd, state)) {
        RespondError(session.out, {"Timed out after ", std::to_string(kStateTimeoutMs), " ms waiting for ",
                                   HandleText(HandleValue(hwnd)), " to be ", ShowStateName(state)});
        return Flow::Continue;
    }
    RespondOk(session.out);
    return Flow::Continue;
}

}  // namespace

Flow WindowsCommand(const Args& args, Session& session) {
    const std::vector<WindowInfo> windows = ListWindows(JoinArgs(args, 1, ' '));
    std::vector<WindowEntry> entries;
    entries.reserve(windows.size());
    for (const WindowInfo& w : windows) {
        entries.push_back(WindowEntry{HandleValue(w.hwnd), w.title, w.className, w.pid, w.frame.left, w.frame.top,
                                      w.frame.right, w.frame.bottom, w.minimized, w.maximized, w.foreground});
    }
    WriteWindowListLine(session.out, entries.data(), entries.size());
    return Flow::Continue;
}

Flow ActiveCommand(const Args&, Session& session) {
    const HWND hwnd = GetForegroundWindow();
    if (hwnd == nullptr) {
        RespondError(session.out, "No foreground window");
        return Flow::Continue;
    }
    WriteActiveLine(session.out, HandleValue(hwnd), WindowTitle(hwnd));
    return Flow::Continue;
}

Flow RectCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: rect HWND")) return Flow::Continue;
    if (const HWND hwnd = WindowArgument(args[1], session)) RespondRect(session, VisibleFrame(hwnd));
    return Flow::Continue;
}

Flow ClientCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: client HWND")) return Flow::Continue;
    if (const HWND hwnd = WindowArgument(args[1], session)) RespondRect(session, ClientArea(hwnd));
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
        RespondError(session.out, "Close failed: " + LastErrorText(code));
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
    const std::optional<Coords> at = ReadCoords(args[2]);
    if (!at) {
        RespondError(session.out, "Invalid coordinates: use X,Y");
        return Flow::Continue;
    }
    Coords size{0, 0};
    if (args.size() == 4) {
        const std::optional<Coords> given = ReadCoords(args[3]);
        if (!given || given->x <= 0 || given->y <= 0) {
            RespondError(session.out, kUsage);
            return Flow::Continue;
        }
        size = *given;
    }
    if (!MoveWindowFrame(hwnd, at->x, at->y, size.x, size.y)) {
        RespondError(session.out, {"Timed out after ", std::to_string(kStateTimeoutMs), " ms waiting for ",
                                   HandleText(HandleValue(hwnd)), " to move"});
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
        RespondError(session.out, {"Timed out after ", std::to_string(*ms), " ms waiting for window: ", title});
        return Flow::Continue;
    }
    WriteHandleLine(session.out, HandleValue(hwnd));
    return Flow::Continue;
}

Flow WaitCloseCommand(const Args& args, Session& session) {
    if (args.size() < 3) {
        RespondError(session.out, "Usage: waitclose MS HWND");
        return Flow::Continue;
    }
    const std::optional<std::uint32_t> ms = TimeoutArgument(args[1], session);
    if (!ms) return Flow::Continue;
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(ParseHandle(args[2])));
    if (hwnd == nullptr) {
        RespondError(session.out, "Invalid HWND");
        return Flow::Continue;
    }
    // A window that is already gone is what the client waits for: answered at once.
    if (!WaitForClose(hwnd, *ms)) {
        RespondError(session.out, {"Timed out after ", std::to_string(*ms), " ms waiting for ",
                                   HandleText(HandleValue(hwnd)), " to close"});
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
    const HWND front = GetForegroundWindow();
    const std::string target = HandleText(HandleValue(hwnd));
    if (front == nullptr) {
        RespondError(session.out, {"Failed to activate ", target, ": no window is in front"});
    } else {
        RespondError(session.out, {"Failed to activate ", target, ": ", HandleText(HandleValue(front)), " (",
                                   WindowTitle(front), ") is still in front"});
    }
    return Flow::Continue;
}

Flow SessionCommand(const Args&, Session& session) {
    const SessionInfo info = ReadSession();
    WriteSessionLine(session.out, info.session, info.desktop, info.interactive);
    return Flow::Continue;
}

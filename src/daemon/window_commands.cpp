#include "daemon/commands.h"
#include "daemon/number_parsing.h"
#include "daemon/response.h"
#include "platform/win32.h"
#include "windows/window_focus.h"
#include "windows/window_search.h"

#include <cstdint>
#include <string>

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

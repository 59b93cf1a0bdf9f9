#include "daemon/response.h"

#include "daemon/json_text.h"

#include <string>

const std::string_view kBanner = "marlet daemon ready. Type 'help' for commands.\n";
const std::string_view kFarewell = "marlet daemon shutting down.\n";
const std::string_view kHelpText =
    "marlet - Windows GUI automation daemon\n"
    "Commands:\n"
    "  click X,Y [left|right|middle]  - Click at screen coordinates\n"
    "  rclick X,Y                     - Right-click at coordinates  \n"
    "  move X,Y                       - Move mouse to coordinates\n"
    "  scroll N [X,Y]                 - Scroll wheel (positive=up, negative=down)\n"
    "  type \"text\"                    - Type text string (use quotes for spaces)\n"
    "  press KEY[+KEY...]             - Press key combination (e.g. ctrl+c, alt+f4, enter)\n"
    "  find \"window title\"            - Find window by title, return HWND\n"
    "  focus HWND                     - Bring window to foreground\n"
    "  pos                            - Get current cursor position\n"
    "  screen                         - Get virtual screen bounds\n"
    "  wait N                         - Sleep N milliseconds\n"
    "  version                        - Print version\n"
    "  help                           - Show this help\n"
    "  quit                           - Exit daemon\n"
    "\n"
    "Coordinates: X,Y in virtual screen pixels (multi-monitor aware)\n"
    "Keys: a-z, 0-9, f1-f24, enter, tab, backspace, delete, escape, space,\n"
    "      up/down/left/right, home/end, pgup/pgdn, insert,\n"
    "      ctrl/control, shift, alt, win/windows/super/cmd,\n"
    "      caps, numlock, scrolllock, printscreen, pause,\n"
    "      num0-num9, num*, num+, num-, num., num/, numenter\n";

void WriteResponse(std::ostream& out, std::string_view status, std::string_view message, std::uint32_t data) {
    std::string line = "{\"status\":\"";
    line += status;
    line += '"';
    if (!message.empty()) {
        line += ",\"message\":\"";
        AppendJsonText(line, message);
        line += '"';
    }
    if (data > 0) {
        line += ",\"data\":";
        line += std::to_string(data);
    }
    line += "}\n";
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.flush();
}

void RespondOk(std::ostream& out, std::uint32_t data) { WriteResponse(out, "ok", std::string_view(), data); }

void RespondError(std::ostream& out, std::string_view message) { WriteResponse(out, "error", message, 0); }

void RespondAction(std::ostream& out, const ActionResult& result) {
    if (result.success) {
        RespondOk(out, result.count);
    } else {
        RespondError(out, result.message);
    }
}

void PrintHelp(std::ostream& err) { err << kHelpText; }

void WriteHandleLine(std::ostream& out, std::uint64_t handle) {
    out << "{\"status\":\"ok\",\"hwnd\":\"0x" << std::hex << handle << std::dec << "\"}\n";
}

void WritePositionLine(std::ostream& out, std::int32_t x, std::int32_t y) {
    out << "{\"status\":\"ok\",\"x\":" << x << ",\"y\":" << y << "}\n";
}

void WriteBoundsLine(std::ostream& out, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    out << "{\"status\":\"ok\",\"left\":" << left << ",\"top\":" << top << ",\"right\":" << right
        << ",\"bottom\":" << bottom << "}\n";
}

void WriteVersionLine(std::ostream& out) { out << "{\"version\":\"1.0.0\"}\n"; }

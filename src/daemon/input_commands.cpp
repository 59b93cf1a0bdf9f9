#include "base/error_text.h"
#include "base/text.h"
#include "clipboard/clipboard.h"
#include "daemon/commands.h"
#include "daemon/daemon_state.h"
#include "daemon/json_string.h"
#include "daemon/number_parsing.h"
#include "daemon/response.h"
#include "keyboard/key_combo.h"
#include "keyboard/text_typing.h"
#include "pointer/mouse_actions.h"
#include "pointer/mouse_gestures.h"
#include "pointer/mouse_records.h"

#include <optional>
#include <string>
#include <vector>

namespace {

// Whether the argument is a number as the delay arguments are written (an optional sign, then
// a digit): anything else in that place is a button name.
bool LooksNumeric(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

// A duration in milliseconds, not negative; nothing, with the error answered, when it is.
std::optional<std::uint32_t> Milliseconds(std::string_view text, Session& session, std::string_view what) {
    const std::int32_t ms = ParseDecimal(text);
    if (ms < 0) {
        RespondError(session.out, {"Invalid ", what, ": MS must not be negative"});
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(ms);
}

// The line after its command word, as the client wrote it (leading blanks skipped).
std::string_view RawArguments(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return line.substr(i);
}

// The JSON string literal a command's raw arguments start with, and what follows it (trimmed);
// nothing, with the error answered, when there is none or it is malformed.
std::optional<JsonString> JsonArgument(Session& session, std::string_view usage, std::string_view& rest) {
    const std::string_view raw = RawArguments(session.line);
    if (raw.empty()) {
        RespondError(session.out, usage);
        return std::nullopt;
    }
    JsonString text = ReadJsonString(raw);
    if (!text.ok) {
        RespondError(session.out, {"Invalid JSON string: ", text.error, " at byte ", std::to_string(text.offset)});
        return std::nullopt;
    }
    rest = Trimmed(raw.substr(text.end));
    return text;
}

// Text to type as a person types it: every line break (CR LF, LF or CR) one Enter, a tab the Tab
// key, and no other control character.
std::string TypingText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            out.push_back('\r');
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\t' || c >= 0x20) {
            // C1 controls (U+0080 to U+009F) are skipped where they are typed.
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

Flow Keys(const Args& args, Session& session, bool down) {
    if (MissingArgument(args, session, down ? "Usage: down KEY[+KEY...]" : "Usage: up KEY[+KEY...]")) {
        return Flow::Continue;
    }
    const std::string combo = JoinArgs(args, 1, '+');
    const std::vector<std::uint16_t> keys = ParseKeyCombo(combo);
    if (keys.empty()) {
        RespondError(session.out, {"Invalid key combo: ", combo});
        return Flow::Continue;
    }
    HeldInputs& held = session.state->held;
    const ActionResult result = down ? HoldKeys(keys) : ReleaseKeys(keys);
    if (down && result.success) held.KeysDown(keys);
    // Key-ups that were sent leave the keys up, whatever came of the rest.
    if (!down) held.KeysUp(keys);
    RespondAction(session.out, result);
    return Flow::Continue;
}

Flow Button(const Args& args, Session& session, bool down) {
    const std::string_view usage = down ? "Usage: mousedown [X,Y] [button]" : "Usage: mouseup [X,Y] [button]";
    Coords at{kNoPosition, kNoPosition};
    std::string_view button = "left";
    bool hasPosition = false;
    bool hasButton = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::optional<Coords> coords = ReadCoords(args[i]);
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
            session.state->held.ButtonDown(flag);
        } else {
            session.state->held.ButtonUp(flag);
        }
    }
    RespondAction(session.out, result);
    return Flow::Continue;
}

}  // namespace

Flow DownCommand(const Args& args, Session& session) { return Keys(args, session, true); }

Flow UpCommand(const Args& args, Session& session) { return Keys(args, session, false); }

Flow MouseDownCommand(const Args& args, Session& session) { return Button(args, session, true); }

Flow MouseUpCommand(const Args& args, Session& session) { return Button(args, session, false); }

Flow DoubleClickCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: dclick X,Y [button]")) return Flow::Continue;
    const std::optional<Coords> at = ReadCoords(args[1]);
    if (!at) {
        RespondError(session.out, "Invalid coordinates: use X,Y");
        return Flow::Continue;
    }
    RespondAction(session.out, DoubleClickMouse(at->x, at->y, args.size() > 2 ? std::string_view(args[2]) : "left"));
    return Flow::Continue;
}

Flow DragCommand(const Args& args, Session& session) {
    constexpr std::string_view kUsage = "Usage: drag X1,Y1 X2,Y2 [button] [MS]";
    if (args.size() < 3 || args.size() > 5) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    const std::optional<Coords> from = ReadCoords(args[1]);
    const std::optional<Coords> to = ReadCoords(args[2]);
    if (!from || !to) {
        RespondError(session.out, "Invalid coordinates: use X,Y");
        return Flow::Continue;
    }
    std::string_view button = "left";
    std::uint32_t ms = 100;
    std::size_t next = 3;
    if (next < args.size() && !LooksNumeric(args[next])) button = args[next++];
    if (next < args.size()) {
        const std::optional<std::uint32_t> given = Milliseconds(args[next++], session, "duration");
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
    const std::optional<Coords> by = ReadCoords(args[1]);
    if (!by) {
        RespondError(session.out, "Invalid coordinates");
        return Flow::Continue;
    }
    RespondAction(session.out, MoveMouseBy(by->x, by->y));
    return Flow::Continue;
}

Flow TypeJsonCommand(const Args&, Session& session) {
    constexpr std::string_view kUsage = "Usage: typejson \"text\" [MS]";
    std::string_view rest;
    const std::optional<JsonString> text = JsonArgument(session, kUsage, rest);
    if (!text) return Flow::Continue;
    std::uint32_t interval = 0;
    if (!rest.empty()) {
        if (rest.find_first_of(" \t") != std::string_view::npos) {
            RespondError(session.out, kUsage);
            return Flow::Continue;
        }
        const std::optional<std::uint32_t> given = Milliseconds(rest, session, "delay");
        if (!given) return Flow::Continue;
        interval = *given;
    }
    RespondAction(session.out, TypeText(TypingText(text->value), 0, interval));
    return Flow::Continue;
}

Flow ClipboardCommand(const Args&, Session& session) {
    const ClipboardRead read = ReadClipboardText();
    if (read.outcome == ClipboardOutcome::Busy) {
        RespondError(session.out, "Clipboard is busy");
        return Flow::Continue;
    }
    WriteClipboardLine(session.out, read.text);
    return Flow::Continue;
}

Flow SetClipboardCommand(const Args&, Session& session) {
    constexpr std::string_view kUsage = "Usage: setclipboard \"text\"";
    std::string_view rest;
    const std::optional<JsonString> text = JsonArgument(session, kUsage, rest);
    if (!text) return Flow::Continue;
    if (!rest.empty()) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    if (text->value.find('\0') != std::string::npos) {
        // Clipboard text ends at its first NUL: the text would not be held as given.
        RespondError(session.out, "Clipboard text cannot hold U+0000");
        return Flow::Continue;
    }
    DWORD error = 0;
    switch (WriteClipboardText(text->value, error)) {
        case ClipboardOutcome::Done: RespondOk(session.out); break;
        case ClipboardOutcome::Busy: RespondError(session.out, "Clipboard is busy"); break;
        case ClipboardOutcome::Failed:
            RespondError(session.out, "Cannot set the clipboard: " + LastErrorText(error));
            break;
    }
    return Flow::Continue;
}

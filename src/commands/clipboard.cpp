// The clipboard commands: read its text, set it.
#include "base/error_text.h"
#include "clipboard/clipboard.h"
#include "commands/families.h"
#include "daemon/arguments.h"
#include "protocol/envelope.h"

#include <optional>
#include <string>

namespace {

constexpr std::string_view kBusy = "Clipboard is busy";

Flow ClipboardCommand(const Args&, Session& session) {
    const ClipboardRead read = ReadClipboardText();
    if (read.outcome == ClipboardOutcome::Busy) {
        RespondError(session.out, kBusy);
        return Flow::Continue;
    }
    JsonLine(session.out).Raw("{\"status\":\"ok\",\"text\":").String(read.text).Raw("}\n");
    return Flow::Continue;
}

Flow SetClipboardCommand(const Args&, Session& session) {
    constexpr std::string_view kUsage = "Usage: setclipboard \"text\"";
    const std::optional<JsonString> text = LastJsonArgument(session, kUsage);
    if (!text) return Flow::Continue;
    if (text->value.find('\0') != std::string::npos) {
        // Clipboard text ends at its first NUL: the text would not be held as given.
        RespondError(session.out, "Clipboard text cannot hold U+0000");
        return Flow::Continue;
    }
    DWORD error = 0;
    switch (WriteClipboardText(text->value, error)) {
        case ClipboardOutcome::Done: RespondOk(session.out); break;
        case ClipboardOutcome::Busy: RespondError(session.out, kBusy); break;
        case ClipboardOutcome::Failed:
            RespondError(session.out, {"Cannot set the clipboard: ", LastErrorText(error)});
            break;
    }
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"clipboard", ClipboardCommand},
    {"setclipboard", SetClipboardCommand},
};

}  // namespace

std::span<const CommandRow> ClipboardCommands() { return kRows; }

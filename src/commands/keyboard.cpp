// The keyboard commands: type text, press a combination, hold keys down and let them go.
#include "commands/families.h"
#include "daemon/arguments.h"
#include "daemon/daemon_state.h"
#include "keyboard/key_combo.h"
#include "keyboard/text_typing.h"
#include "protocol/envelope.h"

#include <optional>
#include <string>
#include <vector>

namespace {

Flow TypeCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: type \"text\"")) return Flow::Continue;
    RespondAction(session.out, TypeText(JoinArgs(args, 1, ' ')));
    return Flow::Continue;
}

Flow PressCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: press ctrl+c")) return Flow::Continue;
    // One argument, as nearly every client sends it, is the combination as it is.
    const std::string joined = args.size() > 2 ? JoinArgs(args, 1, '+') : std::string();
    const std::string_view combo = args.size() > 2 ? std::string_view(joined) : std::string_view(args[1]);
    const ActionResult result = PressKeyCombo(combo);
    // A held key that is pressed goes down and up again, as on a keyboard: it is held no more.
    HeldInputs& held = session.state.held;
    if (result.success && !held.Empty()) held.KeysUp(ParseKeyCombo(combo));
    RespondAction(session.out, result);
    return Flow::Continue;
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
    HeldInputs& held = session.state.held;
    const ActionResult result = down ? HoldKeys(keys) : ReleaseKeys(keys);
    if (down && result.success) held.KeysDown(keys);
    // Key-ups that were sent leave the keys up, whatever came of the rest.
    if (!down) held.KeysUp(keys);
    RespondAction(session.out, result);
    return Flow::Continue;
}

Flow DownCommand(const Args& args, Session& session) { return Keys(args, session, true); }

Flow UpCommand(const Args& args, Session& session) { return Keys(args, session, false); }

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
        const std::optional<std::uint32_t> given = NonNegativeMs(rest, session, "delay");
        if (!given) return Flow::Continue;
        interval = *given;
    }
    RespondAction(session.out, TypeText(TypingText(text->value), interval));
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"type", TypeCommand}, {"press", PressCommand}, {"key", PressCommand},
    {"down", DownCommand}, {"up", UpCommand},       {"typejson", TypeJsonCommand},
};

}  // namespace

std::span<const CommandRow> KeyboardCommands() { return kRows; }

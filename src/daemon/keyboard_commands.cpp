#include "daemon/commands.h"
#include "daemon/daemon_state.h"
#include "daemon/response.h"
#include "keyboard/key_combo.h"
#include "keyboard/text_typing.h"

Flow TypeCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: type \"text\"")) return Flow::Continue;
    RespondAction(session.out, TypeText(JoinArgs(args, 1, ' '), 0));
    return Flow::Continue;
}

Flow PressCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: press ctrl+c")) return Flow::Continue;
    const std::string combo = JoinArgs(args, 1, '+');
    const ActionResult result = PressKeyCombo(combo, 0);
    // A held key that is pressed goes down and up again, as on a keyboard: it is held no more.
    if (result.success && session.state != nullptr && !session.state->held.Empty()) {
        session.state->held.KeysUp(ParseKeyCombo(combo));
    }
    RespondAction(session.out, result);
    return Flow::Continue;
}

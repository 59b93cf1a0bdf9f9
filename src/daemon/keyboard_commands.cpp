#include "daemon/commands.h"
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
    RespondAction(session.out, PressKeyCombo(JoinArgs(args, 1, '+'), 0));
    return Flow::Continue;
}

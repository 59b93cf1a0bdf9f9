#include "daemon/commands.h"
#include "daemon/response.h"
#include "keyboard/key_combo.h"
#include "keyboard/text_typing.h"

#include <string>

namespace {

std::string JoinFrom(const Args& args, std::size_t first, char separator) {
    std::string joined = args[first];
    for (std::size_t i = first + 1; i < args.size(); ++i) {
        joined.push_back(separator);
        joined += args[i];
    }
    return joined;
}

}  // namespace

Flow TypeCommand(const Args& args, Session& session) {
    if (args.size() < 2) {
        RespondError(session.out, "Usage: type \"text\"");
        return Flow::Continue;
    }
    RespondAction(session.out, TypeText(JoinFrom(args, 1, ' '), 0));
    return Flow::Continue;
}

Flow PressCommand(const Args& args, Session& session) {
    if (args.size() < 2) {
        RespondError(session.out, "Usage: press ctrl+c");
        return Flow::Continue;
    }
    RespondAction(session.out, PressKeyCombo(JoinFrom(args, 1, '+'), 0));
    return Flow::Continue;
}

// The commands of the daemon itself: quit, help, version, wait.
#include "commands/families.h"
#include "daemon/arguments.h"
#include "daemon/texts.h"
#include "platform/poll.h"
#include "protocol/envelope.h"

namespace {

Flow QuitCommand(const Args&, Session& session) {
    RespondOk(session.out);
    return Flow::Stop;
}

Flow HelpCommand(const Args&, Session& session) {
    PrintHelp(session.err);
    RespondOk(session.out);
    return Flow::Continue;
}

Flow VersionCommand(const Args&, Session& session) {
    RespondOk(session.out);
    JsonLine(session.out).Raw("{\"version\":\"1.0.0\"}\n");
    return Flow::Continue;
}

Flow WaitCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: wait N")) return Flow::Continue;
    // Sleep takes an unsigned count: a negative N would be a pause of days, or for -1 forever.
    const std::optional<std::uint32_t> ms = NonNegativeMs(args[1], session, "wait", "N");
    if (!ms) return Flow::Continue;
    Pause(*ms);
    RespondOk(session.out);
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"wait", WaitCommand},     {"quit", QuitCommand}, {"exit", QuitCommand},       {"shutdown", QuitCommand},
    {"help", HelpCommand},     {"version", VersionCommand},
};

}  // namespace

std::span<const CommandRow> BuiltinCommands() { return kRows; }

#include "daemon/commands.h"
#include "daemon/number_parsing.h"
#include "daemon/response.h"
#include "platform/win32.h"

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
    WriteVersionLine(session.out);
    return Flow::Continue;
}

Flow WaitCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: wait N")) return Flow::Continue;
    const std::int32_t ms = ParseDecimal(args[1]);
    // Sleep takes an unsigned count: a negative N would be a pause of days, or for -1 forever.
    if (ms < 0) {
        RespondError(session.out, "Invalid wait: N must not be negative");
        return Flow::Continue;
    }
    Sleep(static_cast<DWORD>(ms));
    RespondOk(session.out);
    return Flow::Continue;
}

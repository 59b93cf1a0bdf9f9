#include "daemon/command_loop.h"

#include "daemon/command_table.h"
#include "daemon/daemon_state.h"
#include "daemon/dpi_awareness.h"
#include "daemon/texts.h"
#include "platform/win32.h"
#include "protocol/envelope.h"
#include "protocol/fd_stream.h"
#include "protocol/tokenizer.h"
#include "windows/session.h"

#include <atomic>
#include <cstdio>
#include <exception>
#include <istream>
#include <string>

namespace {

void ReportRelease(std::ostream& err, std::string_view what, const std::string& released) {
    if (!released.empty()) err << what << released << '\n';
}

// What a console control event releases before the process ends. The handler runs on a thread
// of its own, while a command may be running.
std::atomic<HeldInputs*> g_heldAtControl{nullptr};

BOOL WINAPI OnConsoleControl(DWORD) {
    if (HeldInputs* held = g_heldAtControl) {
        const std::string released = held->ReleaseAll();
        if (!released.empty()) std::fprintf(stderr, "Released on exit: %s\n", released.c_str());
    }
    return FALSE;  // and the system ends the process as it would have
}

}  // namespace

void ReleaseOnConsoleControl(HeldInputs* held) {
    g_heldAtControl = held;
    SetConsoleCtrlHandler(OnConsoleControl, held != nullptr ? TRUE : FALSE);
}

void WarnWhereInputReachesNoOne(std::ostream& err) {
    const SessionInfo where = ReadSession();
    if (where.interactive) return;
    if (where.session == 0) {
        err << kSessionZeroWarning;
    } else {
        err << kNoInputDesktopWarning;
    }
}

Flow RunGuarded(Handler handler, const Args& args, const std::string& cmd, Session& session) {
    try {
        if (handler == nullptr) {
            RespondError(session.out, {"Unknown command: ", cmd, ". Type 'help' for usage."});
            return Flow::Continue;
        }
        return handler(args, session);
    } catch (const std::exception& e) {
        RespondError(session.out, std::string("Exception: ") + e.what());
    } catch (...) {
        RespondError(session.out, "Unknown error");
    }
    return Flow::Continue;
}

bool HandleLine(const std::string& line, Args& args, std::ostream& out, std::ostream& err, DaemonState& state) {
    if (line.empty() || line[0] == '#') return true;
    SplitArgsInto(line, args);
    if (args.empty()) return true;
    // The word is folded where it lies: no handler reads it, and a long one is not copied.
    LowerInPlace(args[0]);
    const std::string& cmd = args[0];
    Session session{out, err, state, line};
    return RunGuarded(LookupCommand(cmd), args, cmd, session) == Flow::Continue;
}

int RunCommandLoop(std::istream& in, std::ostream& out, std::ostream& err) {
    // Every answer is flushed as it is written, so it has reached the client before the next
    // read; standard input needs no tie for that (a tie would flush once more for every line).
    // Standard error is tied, so that standard output comes first.
    // Both are put back as they were at the end: the output stream may not outlive the loop
    // (main's does not), and a tie to it would be followed when the error stream is flushed at
    // exit.
    std::ostream* const previousTie = err.tie(&out);
    const std::ios::fmtflags previousFlags = err.flags();
    in.tie(nullptr);
    err.setf(std::ios::unitbuf);
    err << kBanner << std::flush;
    WarnWhereInputReachesNoOne(err);
    std::string line;
    Args args;  // reused from line to line, so that its storage is too
    DaemonState state;
    ReleaseOnConsoleControl(&state.held);
    // Answers written straight to a descriptor can tell that its reader is gone.
    const auto* answers = dynamic_cast<const FdOutBuf*>(out.rdbuf());
    bool clientGone = answers == nullptr;
    while (std::getline(in, line)) {
        Trim(line);
        if (!HandleLine(line, args, out, err, state)) break;
        // A client that no longer reads the answers cannot let go of what it holds.
        if (!clientGone && answers->Broken()) {
            clientGone = true;
            ReportRelease(err, "Standard output is closed; released: ", state.held.ReleaseAll());
        }
    }
    ReportRelease(err, "Released on exit: ", state.held.ReleaseAll());
    ReleaseOnConsoleControl(nullptr);
    err << kFarewell;
    err.flags(previousFlags);
    err.tie(previousTie);
    return 0;
}

int RunDaemon(std::istream& in, std::ostream& out, std::ostream& err) {
    EnableDpiAwareness();
    return RunCommandLoop(in, out, err);
}

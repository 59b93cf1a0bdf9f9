// The daemon: start-up, the line-by-line command loop, shutdown.
#pragma once

#include "daemon/session.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

struct DaemonState;
class HeldInputs;

// Handles one trimmed line, using `args` as room for its arguments and `state` as what the loop
// keeps between commands; returns false when the loop is to end.
bool HandleLine(const std::string& line, std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                DaemonState& state);

// Runs a command's handler (null for an unknown word) under the exception guard: anything
// thrown becomes an error line and the loop goes on.
Flow RunGuarded(Handler handler, const Args& args, const std::string& cmd, Session& session);

// Has a console control event (Ctrl+C, Ctrl+Break, the console closed, log-off, shutdown)
// release what `held` holds before the process ends; null stops it.
void ReleaseOnConsoleControl(HeldInputs* held);

// Writes a warning line to `err` when marlet's input can reach no one (session 0, or an input
// desktop that is not the user's).
void WarnWhereInputReachesNoOne(std::ostream& err);

// Reads commands from `in` until end of input or a quit command, answering each on `out`;
// banner, help and farewell go to `err`. Returns the exit status.
int RunCommandLoop(std::istream& in, std::ostream& out, std::ostream& err);

// Start-up (DPI awareness) followed by the command loop.
int RunDaemon(std::istream& in, std::ostream& out, std::ostream& err);

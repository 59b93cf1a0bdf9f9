// What a command handler is given and gives back, and how a family's command rows look.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

using Args = std::vector<std::string>;

struct DaemonState;

// What a handler works with: the streams one run of the command loop answers on, the state the
// loop keeps between commands, and the line as it was read (trimmed).
struct Session {
    std::ostream& out;
    std::ostream& err;
    DaemonState& state;
    std::string_view line = {};
};

// Whether the loop reads another line after a command.
enum class Flow { Continue, Stop };

using Handler = Flow (*)(const Args& args, Session& session);

// One command word and its handler; aliases are rows of their own with the same handler.
struct CommandRow {
    std::string_view word;
    Handler handler;
};

#include "daemon/commands.h"

namespace {

// One row per command word; aliases share a handler.
// clang-format off
constexpr CommandRow kCommands[] = {
    {"quit", QuitCommand},
    {"exit", QuitCommand},
    {"shutdown", QuitCommand},
    {"help", HelpCommand},
    {"version", VersionCommand},
    {"wait", WaitCommand},
    {"click", ClickCommand},
    {"rclick", RightClickCommand},
    {"move", MoveCommand},
    {"scroll", ScrollCommand},
    {"pos", PosCommand},
    {"screen", ScreenCommand},
    {"type", TypeCommand},
    {"press", PressCommand},
    {"key", PressCommand},
    {"find", FindCommand},
    {"focus", FocusCommand},
    {"foreground", FocusCommand},
};
// clang-format on

}  // namespace

Handler LookupCommand(std::string_view cmd) {
    if (cmd.empty()) return nullptr;
    for (const CommandRow& row : kCommands) {
        // Length and first letter rule out nearly every row before the bytes are compared.
        if (row.word.size() == cmd.size() && row.word[0] == cmd[0] && row.word == cmd) return row.handler;
    }
    return nullptr;
}

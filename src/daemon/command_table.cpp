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
    for (const CommandRow& row : kCommands) {
        if (row.word == cmd) return row.handler;
    }
    return nullptr;
}

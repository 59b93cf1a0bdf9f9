#include "daemon/commands.h"

namespace {

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

}  // namespace

Handler LookupCommand(std::string_view cmd) {
    for (const CommandRow& row : kCommands) {
        if (row.word == cmd) return row.handler;
    }
    return nullptr;
}

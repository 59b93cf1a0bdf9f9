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
};

}  // namespace

Handler FindCommand(std::string_view cmd) {
    for (const CommandRow& row : kCommands) {
        if (row.word == cmd) return row.handler;
    }
    return nullptr;
}

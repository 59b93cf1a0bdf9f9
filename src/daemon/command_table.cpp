#include "daemon/commands.h"

namespace {

// One row per command word; aliases share a handler. The words are looked up in this order, so
// the commands a client sends over and over come first.
// clang-format off
constexpr CommandRow kCommands[] = {
    {"move", MoveCommand},
    {"click", ClickCommand},
    {"type", TypeCommand},
    {"press", PressCommand},
    {"pos", PosCommand},
    {"key", PressCommand},
    {"rclick", RightClickCommand},
    {"scroll", ScrollCommand},
    {"wait", WaitCommand},
    {"find", FindCommand},
    {"focus", FocusCommand},
    {"foreground", FocusCommand},
    {"screen", ScreenCommand},
    {"quit", QuitCommand},
    {"exit", QuitCommand},
    {"shutdown", QuitCommand},
    {"help", HelpCommand},
    {"version", VersionCommand},
    {"windows", WindowsCommand},
    {"active", ActiveCommand},
    {"rect", RectCommand},
    {"client", ClientCommand},
    {"minimize", MinimizeCommand},
    {"maximize", MaximizeCommand},
    {"restore", RestoreCommand},
    {"close", CloseCommand},
    {"movewindow", MoveWindowCommand},
    {"waitwindow", WaitWindowCommand},
    {"waitclose", WaitCloseCommand},
    {"activate", ActivateCommand},
    {"session", SessionCommand},
    {"pixel", PixelCommand},
    {"down", DownCommand},
    {"up", UpCommand},
    {"mousedown", MouseDownCommand},
    {"mouseup", MouseUpCommand},
    {"dclick", DoubleClickCommand},
    {"drag", DragCommand},
    {"hscroll", HorizontalScrollCommand},
    {"moveby", MoveByCommand},
    {"typejson", TypeJsonCommand},
    {"clipboard", ClipboardCommand},
    {"setclipboard", SetClipboardCommand},
    {"screenshot", ScreenshotCommand},
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

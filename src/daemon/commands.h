// The command table: one row per command word, aliases sharing a handler.
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
    DaemonState* state = nullptr;
    std::string_view line = {};
};

// Whether the loop reads another line after a command.
enum class Flow { Continue, Stop };

using Handler = Flow (*)(const Args& args, Session& session);

struct CommandRow {
    std::string_view word;
    Handler handler;
};

// The handler of a lower-cased command word, or null for a word that names no command.
Handler LookupCommand(std::string_view cmd);

// Runs a command's handler (null for an unknown word) under the exception guard: anything
// thrown becomes an error line and the loop goes on.
Flow RunGuarded(Handler handler, const Args& args, const std::string& cmd, Session& session);

// Answers the usage message and returns true when the command has no argument after its word.
bool MissingArgument(const Args& args, Session& session, std::string_view usage);

// The arguments from `first` on, joined by `separator`.
std::string JoinArgs(const Args& args, std::size_t first, char separator);

// Built-in commands.
Flow QuitCommand(const Args& args, Session& session);
Flow HelpCommand(const Args& args, Session& session);
Flow VersionCommand(const Args& args, Session& session);
Flow WaitCommand(const Args& args, Session& session);

// Pointer commands.
Flow ClickCommand(const Args& args, Session& session);
Flow RightClickCommand(const Args& args, Session& session);
Flow MoveCommand(const Args& args, Session& session);
Flow ScrollCommand(const Args& args, Session& session);
Flow PosCommand(const Args& args, Session& session);
Flow ScreenCommand(const Args& args, Session& session);

// Keyboard commands.
Flow TypeCommand(const Args& args, Session& session);
Flow PressCommand(const Args& args, Session& session);

// Window commands.
Flow FindCommand(const Args& args, Session& session);
Flow FocusCommand(const Args& args, Session& session);
Flow WindowsCommand(const Args& args, Session& session);
Flow ActiveCommand(const Args& args, Session& session);
Flow RectCommand(const Args& args, Session& session);
Flow ClientCommand(const Args& args, Session& session);
Flow MinimizeCommand(const Args& args, Session& session);
Flow MaximizeCommand(const Args& args, Session& session);
Flow RestoreCommand(const Args& args, Session& session);
Flow CloseCommand(const Args& args, Session& session);
Flow MoveWindowCommand(const Args& args, Session& session);
Flow WaitWindowCommand(const Args& args, Session& session);
Flow WaitCloseCommand(const Args& args, Session& session);
Flow ActivateCommand(const Args& args, Session& session);
Flow SessionCommand(const Args& args, Session& session);

// Input commands beyond click, press and type.
Flow DownCommand(const Args& args, Session& session);
Flow UpCommand(const Args& args, Session& session);
Flow MouseDownCommand(const Args& args, Session& session);
Flow MouseUpCommand(const Args& args, Session& session);
Flow DoubleClickCommand(const Args& args, Session& session);
Flow DragCommand(const Args& args, Session& session);
Flow HorizontalScrollCommand(const Args& args, Session& session);
Flow MoveByCommand(const Args& args, Session& session);
Flow TypeJsonCommand(const Args& args, Session& session);
Flow ClipboardCommand(const Args& args, Session& session);
Flow SetClipboardCommand(const Args& args, Session& session);

// Screen commands.
Flow PixelCommand(const Args& args, Session& session);
Flow ScreenshotCommand(const Args& args, Session& session);

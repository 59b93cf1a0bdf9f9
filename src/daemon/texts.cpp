#include "daemon/texts.h"

const std::string_view kBanner = "marlet daemon ready. Type 'help' for commands.\n";
const std::string_view kSessionZeroWarning =
    "Warning: marlet runs in session 0 (a service, SSH or WinRM), where no desktop receives its input.\n";
const std::string_view kNoInputDesktopWarning =
    "Warning: the desktop that receives input is not the user's (locked screen or secure desktop); "
    "input reaches no one until the user's desktop is back.\n";
const std::string_view kFarewell = "marlet daemon shutting down.\n";
const std::string_view kHelpText =
    "marlet - Windows GUI automation daemon\n"
    "Commands:\n"
    "  click X,Y [left|right|middle]  - Click at screen coordinates\n"
    "  rclick X,Y                     - Right-click at coordinates  \n"
    "  move X,Y                       - Move mouse to coordinates\n"
    "  scroll N [X,Y]                 - Scroll wheel (positive=up, negative=down)\n"
    "  type \"text\"                    - Type text string (use quotes for spaces)\n"
    "  press KEY[+KEY...]             - Press key combination (e.g. ctrl+c, alt+f4, enter)\n"
    "  find \"window title\"            - Find window by title, return HWND\n"
    "  focus HWND                     - Bring window to foreground\n"
    "  pos                            - Get current cursor position\n"
    "  screen                         - Get virtual screen bounds\n"
    "  wait N                         - Sleep N milliseconds\n"
    "  version                        - Print version\n"
    "  help                           - Show this help\n"
    "  quit                           - Exit daemon\n"
    "\n"
    "Coordinates: X,Y in virtual screen pixels (multi-monitor aware)\n"
    "Keys: a-z, 0-9, f1-f24, enter, tab, backspace, delete, escape, space,\n"
    "      up/down/left/right, home/end, pgup/pgdn, insert,\n"
    "      ctrl/control, shift, alt, win/windows/super/cmd,\n"
    "      caps, numlock, scrolllock, printscreen, pause,\n"
    "      num0-num9, num*, num+, num-, num., num/, numenter\n";

void PrintHelp(std::ostream& err) { err << kHelpText; }

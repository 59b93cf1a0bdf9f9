// The human-readable lines the daemon writes to standard error: banner, warnings, help, farewell.
#pragma once

#include <ostream>
#include <string_view>

// The line "marlet daemon ready. ..." written once at start.
extern const std::string_view kBanner;
// The line written after the banner when marlet runs in session 0 (a service, SSH or WinRM).
extern const std::string_view kSessionZeroWarning;
// The line written after the banner when the desktop that takes input is not the user's.
extern const std::string_view kNoInputDesktopWarning;
// The line written once when the command loop ends.
extern const std::string_view kFarewell;
// The 23 lines of help.
extern const std::string_view kHelpText;

// Writes the help text to the error stream.
void PrintHelp(std::ostream& err);

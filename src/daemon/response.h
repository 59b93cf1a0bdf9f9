// Every byte the daemon writes: response lines on standard output, help on standard error.
#pragma once

#include "base/action_result.h"

#include <cstdint>
#include <initializer_list>
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

// Writes one envelope line (status, message if not empty, data if above 0) and flushes.
void WriteResponse(std::ostream& out, std::string_view status, std::string_view message, std::uint32_t data);

// An ok envelope line, with data when it is above 0.
void RespondOk(std::ostream& out, std::uint32_t data = 0);

// An error envelope line carrying the message.
void RespondError(std::ostream& out, std::string_view message);
// The same with the message given in pieces, written one after another: a message that quotes
// the client's input is not first joined into a copy of it.
void RespondError(std::ostream& out, std::initializer_list<std::string_view> message);

// Answers an action's outcome: its count on success, its message on failure.
void RespondAction(std::ostream& out, const ActionResult& result);

// Writes the help text to the error stream.
void PrintHelp(std::ostream& err);

// The direct lines below are flushed as they are written, like the envelope lines.

// The direct line of a found window: its handle in lower-case hexadecimal after 0x.
void WriteHandleLine(std::ostream& out, std::uint64_t handle);

// The direct line of a cursor position.
void WritePositionLine(std::ostream& out, std::int32_t x, std::int32_t y);

// The direct line of the virtual-screen bounds.
void WriteBoundsLine(std::ostream& out, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// One window of a `windows` answer.
struct WindowEntry {
    std::uint64_t hwnd;
    std::string_view title;
    std::string_view className;
    std::uint32_t pid;
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    bool minimized;
    bool maximized;
    bool foreground;
};

// The `windows` answer: {"status":"ok","windows":[{...},...]}.
void WriteWindowListLine(std::ostream& out, const WindowEntry* entries, std::size_t count);

// The `active` answer: the foreground window's handle and title.
void WriteActiveLine(std::ostream& out, std::uint64_t handle, std::string_view title);

// The `session` answer.
void WriteSessionLine(std::ostream& out, std::uint32_t session, std::string_view desktop, bool interactive);

// The `pixel` answer: a colour's red, green and blue.
void WritePixelLine(std::ostream& out, unsigned red, unsigned green, unsigned blue);

// The `screenshot` answer with the picture inline, `png` being its base64 text.
void WriteScreenshotLine(std::ostream& out, std::int32_t left, std::int32_t top, std::uint32_t width,
                         std::uint32_t height, std::string_view png);

// The `screenshot` answer for a picture written to a file of `bytes` bytes.
void WriteScreenshotFileLine(std::ostream& out, std::int32_t left, std::int32_t top, std::uint32_t width,
                             std::uint32_t height, std::string_view path, std::uint64_t bytes);

// The `clipboard` answer.
void WriteClipboardLine(std::ostream& out, std::string_view text);

// A window handle as answers write it: 0x and lower-case hexadecimal.
std::string HandleText(std::uint64_t handle);

// The version record.
void WriteVersionLine(std::ostream& out);

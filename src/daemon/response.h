// Every byte the daemon writes: response lines on standard output, help on standard error.
#pragma once

#include "base/action_result.h"

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string_view>

// The line "marlet daemon ready. ..." written once at start.
extern const std::string_view kBanner;
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

// The version record.
void WriteVersionLine(std::ostream& out);

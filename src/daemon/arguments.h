// The argument readers the command families share. Each answers its error itself and returns
// nothing (or false) when the argument does not do; number parsing throws as the parsers do.
#pragma once

#include "base/geometry.h"
#include "daemon/session.h"
#include "platform/win32.h"
#include "protocol/json_string.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Answers the usage message and returns true when the command has no argument after its word.
bool MissingArgument(const Args& args, Session& session, std::string_view usage);

// The arguments from `first` on, joined by `separator`.
std::string JoinArgs(const Args& args, std::size_t first, char separator);

// The handle an argument names, read as focus reads it (hexadecimal after 0x, octal after a
// leading 0, else decimal); not checked against the desktop. Throws as ParseHandle does.
HWND HandleArgument(std::string_view text);

// The window an argument names; null, with "Invalid HWND" answered, when it is null or names no
// window.
HWND WindowArgument(std::string_view text, Session& session);

// A count of milliseconds read as wait reads its N; nothing, with "Invalid WHAT: NAME must not be
// negative" answered, when it is negative.
std::optional<std::uint32_t> NonNegativeMs(std::string_view text, Session& session, std::string_view what,
                                           std::string_view name = "MS");

// A timeout in milliseconds ("Invalid timeout: MS must not be negative").
std::optional<std::uint32_t> TimeoutArgument(std::string_view text, Session& session);

// The message a position that does not parse as X,Y is answered with, by most commands.
inline constexpr std::string_view kUseXY = "Invalid coordinates: use X,Y";

// A position "X,Y"; nothing, with `invalid` answered, when the text holds no comma.
std::optional<Point> PositionArgument(std::string_view text, Session& session, std::string_view invalid = kUseXY);

// A region "X,Y,W,H" (the caller has seen IsRegionText hold); nothing, with `usage` answered,
// when its width or height is not above 0.
std::optional<Rect> RegionArgument(std::string_view text, Session& session, std::string_view usage);

// The JSON string literal a command's arguments start with, as the client wrote it (the line is
// read again, so quotes, backslashes and outer spaces survive), and in `rest` what follows it,
// trimmed; with `skip`, the literal after that many words. Nothing, with the error answered, when
// there is none (`usage`) or it is malformed.
std::optional<JsonString> JsonArgument(Session& session, std::string_view usage, std::string_view& rest,
                                       std::size_t skip = 0);

// The same for a command whose last argument is the JSON string: anything after it is answered
// with `usage`.
std::optional<JsonString> LastJsonArgument(Session& session, std::string_view usage, std::size_t skip = 0);

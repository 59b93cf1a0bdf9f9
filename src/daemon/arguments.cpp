#include "daemon/arguments.h"

#include "base/text.h"
#include "protocol/envelope.h"
#include "protocol/number_parsing.h"
#include "windows/window_info.h"

#include <string>

bool MissingArgument(const Args& args, Session& session, std::string_view usage) {
    if (args.size() >= 2) return false;
    RespondError(session.out, usage);
    return true;
}

std::string JoinArgs(const Args& args, std::size_t first, char separator) {
    std::string joined;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (i > first) joined.push_back(separator);
        joined += args[i];
    }
    return joined;
}

HWND HandleArgument(std::string_view text) { return HandleFromValue(ParseHandle(text)); }

HWND WindowArgument(std::string_view text, Session& session) {
    const HWND hwnd = HandleArgument(text);
    if (!WindowExists(hwnd)) {
        RespondError(session.out, "Invalid HWND");
        return nullptr;
    }
    return hwnd;
}

std::optional<std::uint32_t> NonNegativeMs(std::string_view text, Session& session, std::string_view what,
                                           std::string_view name) {
    const std::int32_t ms = ParseDecimal(text);
    if (ms < 0) {
        RespondError(session.out, {"Invalid ", what, ": ", name, " must not be negative"});
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(ms);
}

std::optional<std::uint32_t> TimeoutArgument(std::string_view text, Session& session) {
    return NonNegativeMs(text, session, "timeout");
}

std::optional<Point> PositionArgument(std::string_view text, Session& session, std::string_view invalid) {
    const std::optional<Point> at = ReadCoords(text);
    if (!at) RespondError(session.out, invalid);
    return at;
}

std::optional<Rect> RegionArgument(std::string_view text, Session& session, std::string_view usage) {
    Rect region{};
    if (!ReadRegion(text, region)) {
        RespondError(session.out, usage);
        return std::nullopt;
    }
    return region;
}

namespace {

// The line after its command word and `skip` more words, as the client wrote it (leading blanks
// skipped).
std::string_view RawArguments(std::string_view line, std::size_t skip) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    for (std::size_t word = 0; word <= skip; ++word) {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    }
    return line.substr(i);
}

}  // namespace

std::optional<JsonString> JsonArgument(Session& session, std::string_view usage, std::string_view& rest,
                                       std::size_t skip) {
    const std::string_view raw = RawArguments(session.line, skip);
    if (raw.empty()) {
        RespondError(session.out, usage);
        return std::nullopt;
    }
    JsonString text = ReadJsonString(raw);
    if (!text.ok) {
        ErrorLine(session.out).Text("Invalid JSON string: ").Text(text.error).Text(" at byte ").Number(text.offset);
        return std::nullopt;
    }
    rest = Trimmed(raw.substr(text.end));
    return text;
}

std::optional<JsonString> LastJsonArgument(Session& session, std::string_view usage, std::size_t skip) {
    std::string_view rest;
    std::optional<JsonString> text = JsonArgument(session, usage, rest, skip);
    if (text && !rest.empty()) {
        RespondError(session.out, usage);
        return std::nullopt;
    }
    return text;
}

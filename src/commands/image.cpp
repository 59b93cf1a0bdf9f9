// The picture commands: find a template picture on the screen, and wait for the screen (a picture
// to come or go, a pixel's colour, a region to stop changing), each wait polling its region alone.
#include "base/error_text.h"
#include "commands/families.h"
#include "daemon/arguments.h"
#include "daemon/daemon_state.h"
#include "image/png_decoder.h"
#include "image/template_search.h"
#include "platform/poll.h"
#include "pointer/display_geometry.h"
#include "protocol/base64.h"
#include "protocol/envelope.h"
#include "protocol/number_parsing.h"
#include "screen/capture.h"
#include "screen/file_reader.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kFindUsage = "Usage: findimage IMAGE [X,Y,W,H] [TOLERANCE]";
constexpr std::string_view kFindAllUsage = "Usage: findimages IMAGE [X,Y,W,H] [TOLERANCE]";
constexpr std::string_view kWaitUsage = "Usage: waitimage MS IMAGE [X,Y,W,H] [TOLERANCE]";
constexpr std::string_view kWaitGoneUsage = "Usage: waitimagegone MS IMAGE [X,Y,W,H] [TOLERANCE]";
constexpr std::string_view kWaitPixelUsage = "Usage: waitpixel MS X,Y R,G,B [TOLERANCE]";
constexpr std::string_view kWaitStillUsage = "Usage: waitstill MS X,Y,W,H QUIET";
constexpr std::string_view kBase64Prefix = "base64:";
// How often a wait looks at the screen, in milliseconds.
constexpr DWORD kScreenPollMs = 50;

// A number from 0 to 255, the whole text; nothing when it is not one.
std::optional<std::uint8_t> ByteValue(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < 0 || value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::optional<std::uint8_t> ToleranceArgument(std::string_view text, Session& session) {
    const std::optional<std::uint8_t> tolerance = ByteValue(text);
    if (!tolerance) RespondError(session.out, "Invalid tolerance: use 0 to 255");
    return tolerance;
}

// The template an IMAGE argument gives, a path or "base64:" and the PNG; nothing, with the error
// answered, when it cannot be read.
std::optional<Template> TemplateArgument(std::string_view image, Session& session) {
    DaemonState& state = session.state;
    std::string_view name = image;
    if (image.substr(0, kBase64Prefix.size()) == kBase64Prefix) {
        if (!DecodeBase64(image.substr(kBase64Prefix.size()), state.fileBytes)) {
            RespondError(session.out, "Invalid image: bad base64");
            return std::nullopt;
        }
        name = "base64 data";
    } else if (const DWORD code = ReadWholeFile(image, state.fileBytes); code != 0) {
        RespondError(session.out, {"Cannot read ", image, ": ", LastErrorText(code)});
        return std::nullopt;
    }
    const std::string failed = DecodePng(state.fileBytes, name, state.decoded);
    if (!failed.empty()) {
        RespondError(session.out, failed);
        return std::nullopt;
    }
    Template picture(state.decoded);
    // The buffers are kept for the next template, unless this one was large.
    constexpr std::size_t kKeptBytes = std::size_t{16} << 20;
    if (state.fileBytes.capacity() > kKeptBytes) std::vector<std::uint8_t>().swap(state.fileBytes);
    if (state.decoded.pixels.capacity() * 4 > kKeptBytes) std::vector<std::uint32_t>().swap(state.decoded.pixels);
    return picture;
}

// What a picture command looks for and where: the arguments after the word (and its MS).
struct Search {
    Template picture;
    Rect region;
    std::uint8_t tolerance;
};

// Reads IMAGE [X,Y,W,H] [TOLERANCE] from `first` on; nothing, with the error answered, when
// they do not do. The region is clipped to the screen.
std::optional<Search> SearchArguments(const Args& args, std::size_t first, Session& session, std::string_view usage) {
    if (args.size() <= first || args.size() > first + 3) {
        RespondError(session.out, usage);
        return std::nullopt;
    }
    Rect region = GetVirtualScreenBounds();
    std::uint8_t tolerance = 0;
    std::size_t next = first + 1;
    if (next < args.size() && IsRegionText(args[next])) {
        const std::optional<Rect> given = RegionArgument(args[next], session, usage);
        if (!given) return std::nullopt;
        region = *given;
        ++next;
    }
    if (next < args.size()) {
        if (next + 1 < args.size()) {  // two words after IMAGE, the first not a region
            RespondError(session.out, usage);
            return std::nullopt;
        }
        const std::optional<std::uint8_t> given = ToleranceArgument(args[next], session);
        if (!given) return std::nullopt;
        tolerance = *given;
    }
    const std::optional<Rect> clipped = ClipToScreen(region);
    if (!clipped) {
        RespondError(session.out, "Region outside the screen");
        return std::nullopt;
    }
    std::optional<Template> picture = TemplateArgument(args[first], session);
    if (!picture) return std::nullopt;
    return Search{std::move(*picture), *clipped, tolerance};
}

void RespondCaptureFailed(Session& session, DWORD error) {
    RespondError(session.out, {"Screen capture failed: ", LastErrorText(error)});
}

// The region's pixels, captured into the buffers kept for searches; nothing, with the error
// answered, when the capture fails.
std::optional<PixelView> CaptureRegion(const Rect& region, Session& session) {
    DWORD error = 0;
    const CapturedPixels captured = session.state.searches.Capture(region, error);
    if (captured.pixels == nullptr) {
        RespondCaptureFailed(session, error);
        return std::nullopt;
    }
    return PixelView{captured.pixels, captured.stride, captured.width, captured.height};
}

// Where a match found at `at` of the region lies on the screen.
Rect MatchRect(const Search& search, Point at) {
    const std::int32_t left = search.region.left + at.x;
    const std::int32_t top = search.region.top + at.y;
    return Rect{left, top, left + static_cast<std::int32_t>(search.picture.Width()),
                top + static_cast<std::int32_t>(search.picture.Height())};
}

// Looks for the picture once: the first match, {-1, -1} when there is none, nothing when the
// capture failed (answered).
std::optional<Point> LookOnce(const Search& search, Session& session) {
    const std::optional<PixelView> view = CaptureRegion(search.region, session);
    if (!view) return std::nullopt;
    return search.picture.FindFirst(*view, search.tolerance);
}

Flow FindImageCommand(const Args& args, Session& session) {
    const std::optional<Search> search = SearchArguments(args, 1, session, kFindUsage);
    if (!search) return Flow::Continue;
    const std::optional<Point> at = LookOnce(*search, session);
    if (!at) return Flow::Continue;
    if (at->x < 0) {
        RespondError(session.out, "Image not found");
        return Flow::Continue;
    }
    RespondRect(session.out, MatchRect(*search, *at));
    return Flow::Continue;
}

Flow FindImagesCommand(const Args& args, Session& session) {
    const std::optional<Search> search = SearchArguments(args, 1, session, kFindAllUsage);
    if (!search) return Flow::Continue;
    const std::optional<PixelView> view = CaptureRegion(search->region, session);
    if (!view) return Flow::Continue;
    std::vector<Point>& found = session.state.matches;
    search->picture.FindAll(*view, search->tolerance, kMostMatches, found);
    JsonLine line(session.out);
    line.Raw("{\"status\":\"ok\",\"matches\":[");
    for (std::size_t i = 0; i < found.size(); ++i) {
        const Rect r = MatchRect(*search, found[i]);
        line.Raw(i == 0 ? "{\"left\":" : ",{\"left\":").Number(r.left).Raw(",\"top\":").Number(r.top);
        line.Raw(",\"right\":").Number(r.right).Raw(",\"bottom\":").Number(r.bottom).Raw("}");
    }
    line.Raw("]}\n");
    return Flow::Continue;
}

// The MS of a wait and the search after it; nothing, with the error answered.
std::optional<std::pair<std::uint32_t, Search>> WaitArguments(const Args& args, Session& session,
                                                              std::string_view usage) {
    if (MissingArgument(args, session, usage)) return std::nullopt;
    const std::optional<std::uint32_t> ms = TimeoutArgument(args[1], session);
    if (!ms) return std::nullopt;
    std::optional<Search> search = SearchArguments(args, 2, session, usage);
    if (!search) return std::nullopt;
    return std::pair<std::uint32_t, Search>{*ms, std::move(*search)};
}

// Polls for the picture to be there (`present`) or not, and answers: by `respond` with the
// search and the last look when the wait is met, else the time-out or the capture's failure.
template <typename Respond>
void WaitForPicture(const Args& args, Session& session, std::string_view usage, bool present,
                    std::string_view timedOut, Respond&& respond) {
    const auto parsed = WaitArguments(args, session, usage);
    if (!parsed) return;
    const std::uint32_t ms = parsed->first;
    const Search& search = parsed->second;
    bool failed = false;
    Point last{-1, -1};
    const bool met = PollUntil(
        [&] {
            const std::optional<Point> at = LookOnce(search, session);
            if (!at) {
                failed = true;
                return true;
            }
            last = *at;
            return (at->x >= 0) == present;
        },
        ms, kScreenPollMs);
    if (failed) return;
    if (!met) {
        ErrorLine(session.out).TimedOut(ms).Text(timedOut);
        return;
    }
    respond(search, last);
}

Flow WaitImageCommand(const Args& args, Session& session) {
    WaitForPicture(args, session, kWaitUsage, true, "the image",
                   [&](const Search& search, Point at) { RespondRect(session.out, MatchRect(search, at)); });
    return Flow::Continue;
}

Flow WaitImageGoneCommand(const Args& args, Session& session) {
    WaitForPicture(args, session, kWaitGoneUsage, false, "the image to go",
                   [&](const Search&, Point) { RespondOk(session.out); });
    return Flow::Continue;
}

// A colour "R,G,B", each 0 to 255, as 0x00RRGGBB; nothing, with the error answered.
std::optional<std::uint32_t> ColorArgument(std::string_view text, Session& session) {
    std::uint32_t rgb = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = i < 2 ? text.find(',') : text.size();
        const std::optional<std::uint8_t> part =
            comma == std::string_view::npos ? std::nullopt : ByteValue(text.substr(0, comma));
        if (!part) {
            RespondError(session.out, "Invalid color: use R,G,B from 0 to 255");
            return std::nullopt;
        }
        rgb = (rgb << 8) | *part;
        text = i < 2 ? text.substr(comma + 1) : std::string_view();
    }
    return rgb;
}

Flow WaitPixelCommand(const Args& args, Session& session) {
    if (args.size() < 4 || args.size() > 5) {
        RespondError(session.out, kWaitPixelUsage);
        return Flow::Continue;
    }
    const std::optional<std::uint32_t> ms = TimeoutArgument(args[1], session);
    if (!ms) return Flow::Continue;
    const std::optional<Point> at = PositionArgument(args[2], session);
    if (!at) return Flow::Continue;
    const std::optional<std::uint32_t> wanted = ColorArgument(args[3], session);
    if (!wanted) return Flow::Continue;
    std::uint8_t tolerance = 0;
    if (args.size() == 5) {
        const std::optional<std::uint8_t> given = ToleranceArgument(args[4], session);
        if (!given) return Flow::Continue;
        tolerance = *given;
    }
    if (!GetVirtualScreenBounds().Contains(*at)) {
        RespondError(session.out, "Position outside the screen");
        return Flow::Continue;
    }
    // A one-pixel template of the colour: the comparison is the search's own.
    DecodedImage one;
    one.width = one.height = 1;
    one.pixels.assign(1, 0xFF000000u | *wanted);
    const Template colour(one);
    std::uint32_t seen = 0;
    DWORD error = 0;
    const bool met = PollUntil(
        [&] {
            const CapturedPixels captured =
                session.state.pixels.Capture(Rect{at->x, at->y, at->x + 1, at->y + 1}, error);
            if (captured.pixels == nullptr) return true;
            seen = (std::uint32_t{captured.pixels[2]} << 16) | (std::uint32_t{captured.pixels[1]} << 8) |
                   captured.pixels[0];
            return colour.FindFirst(PixelView{captured.pixels, captured.stride, 1, 1}, tolerance).x == 0;
        },
        *ms, kScreenPollMs);
    if (error != 0) {
        RespondCaptureFailed(session, error);
    } else if (!met) {
        ErrorLine(session.out).TimedOut(*ms).Text("the pixel");
    } else {
        JsonLine(session.out)
            .Raw("{\"status\":\"ok\",\"r\":")
            .Number(seen >> 16)
            .Raw(",\"g\":")
            .Number((seen >> 8) & 0xFF)
            .Raw(",\"b\":")
            .Number(seen & 0xFF)
            .Raw("}\n");
    }
    return Flow::Continue;
}

// Whether two captures of the same region hold the same colours (the unused byte aside).
bool SamePixels(const CapturedPixels& now, const std::vector<std::uint8_t>& before) {
    const std::size_t rowBytes = std::size_t{now.width} * 4;
    for (std::uint32_t y = 0; y < now.height; ++y) {
        const std::uint8_t* a = now.pixels + std::size_t{y} * now.stride;
        const std::uint8_t* b = before.data() + std::size_t{y} * rowBytes;
        if (std::memcmp(a, b, rowBytes) != 0) return false;
    }
    return true;
}

void KeepPixels(const CapturedPixels& now, std::vector<std::uint8_t>& kept) {
    const std::size_t rowBytes = std::size_t{now.width} * 4;
    kept.resize(rowBytes * now.height);
    for (std::uint32_t y = 0; y < now.height; ++y) {
        std::memcpy(kept.data() + std::size_t{y} * rowBytes, now.pixels + std::size_t{y} * now.stride, rowBytes);
    }
}

Flow WaitStillCommand(const Args& args, Session& session) {
    if (args.size() != 4 || !IsRegionText(args[2])) {
        RespondError(session.out, kWaitStillUsage);
        return Flow::Continue;
    }
    const std::optional<std::uint32_t> ms = TimeoutArgument(args[1], session);
    if (!ms) return Flow::Continue;
    const std::optional<Rect> given = RegionArgument(args[2], session, kWaitStillUsage);
    if (!given) return Flow::Continue;
    const std::optional<std::uint32_t> quiet = NonNegativeMs(args[3], session, "quiet time", "QUIET");
    if (!quiet) return Flow::Continue;
    const std::optional<Rect> region = ClipToScreen(*given);
    if (!region) {
        RespondError(session.out, "Region outside the screen");
        return Flow::Continue;
    }
    DaemonState& state = session.state;
    DWORD error = 0;
    bool first = true;
    ULONGLONG changed = 0;  // when the region was last seen to change
    const bool met = PollUntil(
        [&] {
            const CapturedPixels now = state.searches.Capture(*region, error);
            const ULONGLONG time = GetTickCount64();
            if (now.pixels == nullptr) return true;
            if (first || !SamePixels(now, state.settled)) {
                KeepPixels(now, state.settled);
                changed = time;
                first = false;
            }
            return time - changed >= *quiet;
        },
        *ms, std::min<DWORD>(kScreenPollMs, std::max<DWORD>(*quiet, 1)));
    if (error != 0) {
        RespondCaptureFailed(session, error);
    } else if (!met) {
        ErrorLine(session.out).TimedOut(*ms).Text("the region to settle");
    } else {
        RespondOk(session.out);
    }
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"findimage", FindImageCommand},         {"findimages", FindImagesCommand},
    {"waitimage", WaitImageCommand},         {"waitimagegone", WaitImageGoneCommand},
    {"waitpixel", WaitPixelCommand},         {"waitstill", WaitStillCommand},
};

}  // namespace

std::span<const CommandRow> ImageCommands() { return kRows; }

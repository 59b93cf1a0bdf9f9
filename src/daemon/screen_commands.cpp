#include "base/error_text.h"
#include "daemon/base64.h"
#include "daemon/commands.h"
#include "daemon/daemon_state.h"
#include "daemon/number_parsing.h"
#include "daemon/response.h"
#include "pointer/display_geometry.h"
#include "screen/capture.h"
#include "screen/file_writer.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kScreenshotUsage = "Usage: screenshot [X,Y,W,H] [PATH]";

// Whether the argument is a region: four integers (optionally signed) separated by commas.
bool IsRegionText(std::string_view text) {
    int parts = 1;
    bool digit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == ',') {
            if (!digit) return false;
            ++parts;
            digit = false;
        } else if ((c == '-' || c == '+') && (i == 0 || text[i - 1] == ',')) {
            continue;
        } else {
            return false;
        }
    }
    return parts == 4 && digit;
}

ScreenRegion ReadRegion(std::string_view text) {
    std::int32_t values[4];
    for (std::int32_t& value : values) {
        const std::size_t comma = text.find(',');
        value = ParseDecimal(text.substr(0, comma));
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    return ScreenRegion{values[0], values[1], values[2], values[3]};
}

// The part of `region` on the virtual screen; nothing when none of it is.
std::optional<ScreenRegion> Clip(const ScreenRegion& region) {
    const ScreenBounds screen = GetVirtualScreenBounds();
    const std::int64_t left = std::max<std::int64_t>(region.left, screen.left);
    const std::int64_t top = std::max<std::int64_t>(region.top, screen.top);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{region.left} + region.width, screen.right);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{region.top} + region.height, screen.bottom);
    if (right <= left || bottom <= top) return std::nullopt;
    return ScreenRegion{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                        static_cast<std::int32_t>(right - left), static_cast<std::int32_t>(bottom - top)};
}

}  // namespace

Flow PixelCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: pixel X,Y")) return Flow::Continue;
    const std::optional<Coords> at = ReadCoords(args[1]);
    if (!at) {
        RespondError(session.out, "Invalid coordinates: use X,Y");
        return Flow::Continue;
    }
    const ScreenBounds screen = GetVirtualScreenBounds();
    if (at->x < screen.left || at->y < screen.top || at->x >= screen.right || at->y >= screen.bottom) {
        RespondError(session.out, "Position outside the screen");
        return Flow::Continue;
    }
    // One pixel captured like any region: GetPixel reads the screen far more slowly under
    // desktop composition.
    DWORD error = 0;
    const CapturedPixels captured = session.state->pixels.Capture(ScreenRegion{at->x, at->y, 1, 1}, error);
    if (captured.pixels == nullptr) {
        RespondError(session.out, "Screen capture failed: " + LastErrorText(error));
        return Flow::Continue;
    }
    WritePixelLine(session.out, captured.pixels[2], captured.pixels[1], captured.pixels[0]);
    return Flow::Continue;
}

Flow ScreenshotCommand(const Args& args, Session& session) {
    if (args.size() > 3) {
        RespondError(session.out, kScreenshotUsage);
        return Flow::Continue;
    }
    const ScreenBounds screen = GetVirtualScreenBounds();
    ScreenRegion region{screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top};
    std::optional<std::string_view> path;
    if (args.size() > 1 && IsRegionText(args[1])) {
        region = ReadRegion(args[1]);
        if (region.width <= 0 || region.height <= 0) {
            RespondError(session.out, kScreenshotUsage);
            return Flow::Continue;
        }
        if (args.size() > 2) path = args[2];
    } else if (args.size() == 2) {
        path = args[1];
    } else if (args.size() == 3) {
        RespondError(session.out, kScreenshotUsage);
        return Flow::Continue;
    }
    const std::optional<ScreenRegion> taken = Clip(region);
    if (!taken) {
        RespondError(session.out, "Region outside the screen");
        return Flow::Continue;
    }
    DaemonState& state = *session.state;
    DWORD error = 0;
    const CapturedPixels captured = state.screenshots.Capture(*taken, error);
    if (captured.pixels == nullptr) {
        RespondError(session.out, "Screen capture failed: " + LastErrorText(error));
        return Flow::Continue;
    }
    const std::span<const std::uint8_t> png =
        state.encoder.Encode(captured.pixels, captured.stride, captured.width, captured.height);
    if (png.empty()) {
        RespondError(session.out, "PNG encoding failed");
        return Flow::Continue;
    }
    if (!path) {
        AssignBase64(state.text, png.data(), png.size());
        WriteScreenshotLine(session.out, taken->left, taken->top, captured.width, captured.height, state.text);
        return Flow::Continue;
    }
    if (const DWORD code = WriteWholeFile(*path, png); code != 0) {
        RespondError(session.out, {"Cannot write ", *path, ": ", LastErrorText(code)});
        return Flow::Continue;
    }
    WriteScreenshotFileLine(session.out, taken->left, taken->top, captured.width, captured.height, *path, png.size());
    return Flow::Continue;
}

// The screen commands: one pixel's colour, and screenshots inline or to a file.
#include "base/error_text.h"
#include "commands/families.h"
#include "daemon/arguments.h"
#include "daemon/daemon_state.h"
#include "pointer/display_geometry.h"
#include "protocol/base64.h"
#include "protocol/envelope.h"
#include "protocol/number_parsing.h"
#include "screen/capture.h"
#include "screen/file_writer.h"

#include <optional>
#include <string_view>

namespace {

constexpr std::string_view kScreenshotUsage = "Usage: screenshot [X,Y,W,H] [PATH]";

void RespondCaptureFailed(Session& session, DWORD error) {
    RespondError(session.out, {"Screen capture failed: ", LastErrorText(error)});
}

Flow PixelCommand(const Args& args, Session& session) {
    if (MissingArgument(args, session, "Usage: pixel X,Y")) return Flow::Continue;
    const std::optional<Point> at = PositionArgument(args[1], session);
    if (!at) return Flow::Continue;
    if (!GetVirtualScreenBounds().Contains(*at)) {
        RespondError(session.out, "Position outside the screen");
        return Flow::Continue;
    }
    // One pixel captured like any region: GetPixel reads the screen far more slowly under
    // desktop composition.
    DWORD error = 0;
    const CapturedPixels captured = session.state.pixels.Capture(Rect{at->x, at->y, at->x + 1, at->y + 1}, error);
    if (captured.pixels == nullptr) {
        RespondCaptureFailed(session, error);
        return Flow::Continue;
    }
    JsonLine(session.out)
        .Raw("{\"status\":\"ok\",\"r\":")
        .Number(captured.pixels[2])
        .Raw(",\"g\":")
        .Number(captured.pixels[1])
        .Raw(",\"b\":")
        .Number(captured.pixels[0])
        .Raw("}\n");
    return Flow::Continue;
}

// The start of a screenshot's answer: where the picture lies and its size.
void ScreenshotHead(JsonLine& line, const Rect& taken, const CapturedPixels& captured) {
    line.Raw("{\"status\":\"ok\",\"left\":").Number(taken.left).Raw(",\"top\":").Number(taken.top);
    line.Raw(",\"width\":").Number(captured.width).Raw(",\"height\":").Number(captured.height);
}

Flow ScreenshotCommand(const Args& args, Session& session) {
    if (args.size() > 3) {
        RespondError(session.out, kScreenshotUsage);
        return Flow::Continue;
    }
    Rect region = GetVirtualScreenBounds();
    std::optional<std::string_view> path;
    if (args.size() > 1 && IsRegionText(args[1])) {
        const std::optional<Rect> given = RegionArgument(args[1], session, kScreenshotUsage);
        if (!given) return Flow::Continue;
        region = *given;
        if (args.size() > 2) path = args[2];
    } else if (args.size() == 2) {
        path = args[1];
    } else if (args.size() == 3) {
        RespondError(session.out, kScreenshotUsage);
        return Flow::Continue;
    }
    const std::optional<Rect> taken = ClipToScreen(region);
    if (!taken) {
        RespondError(session.out, "Region outside the screen");
        return Flow::Continue;
    }
    DaemonState& state = session.state;
    DWORD error = 0;
    const CapturedPixels captured = state.screenshots.Capture(*taken, error);
    if (captured.pixels == nullptr) {
        RespondCaptureFailed(session, error);
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
        // Base64 needs no escaping: it goes out as it is, straight from where it was made.
        JsonLine line(session.out);
        ScreenshotHead(line, *taken, captured);
        line.Raw(",\"png\":\"").Raw(state.text).Raw("\"}\n");
        return Flow::Continue;
    }
    if (const DWORD code = WriteWholeFile(*path, png); code != 0) {
        RespondError(session.out, {"Cannot write ", *path, ": ", LastErrorText(code)});
        return Flow::Continue;
    }
    JsonLine line(session.out);
    ScreenshotHead(line, *taken, captured);
    line.Raw(",\"path\":").String(*path).Raw(",\"bytes\":").Number(png.size()).Raw("}\n");
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"pixel", PixelCommand},
    {"screenshot", ScreenshotCommand},
};

}  // namespace

std::span<const CommandRow> ScreenCommands() { return kRows; }

// The screen commands: one pixel's colour, and screenshots inline or to a file.
#include "base/error_text.h"
#include "commands/families.h"
#include "daemon/arguments.h"
#include "daemon/daemon_state.h"
#include "image/scaling.h"
#include "pointer/display_geometry.h"
#include "protocol/base64.h"
#include "protocol/envelope.h"
#include "protocol/number_parsing.h"
#include "screen/capture.h"
#include "screen/file_writer.h"

#include <charconv>
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

// An output size "WxH", each side 1 to 65535; nothing when the text is not one.
std::optional<FittedSize> SizeArgument(std::string_view text) {
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    const auto side = [](std::string_view digits) -> std::optional<std::uint32_t> {
        std::uint32_t value = 0;
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, value);
        if (digits.empty() || error != std::errc() || stop != end || value == 0 || value > 65535) return std::nullopt;
        return value;
    };
    const std::optional<std::uint32_t> w = side(text.substr(0, x));
    const std::optional<std::uint32_t> h = side(text.substr(x + 1));
    if (!w || !h) return std::nullopt;
    return FittedSize{*w, *h};
}

// The start of a screenshot's answer: where the picture lies on the screen, and its size there
// (and the picture's own, when it was fitted to a size).
void ScreenshotHead(JsonLine& line, const Rect& taken, const CapturedPixels& captured,
                    const std::optional<FittedSize>& picture) {
    line.Raw("{\"status\":\"ok\",\"left\":").Number(taken.left).Raw(",\"top\":").Number(taken.top);
    line.Raw(",\"width\":").Number(captured.width).Raw(",\"height\":").Number(captured.height);
    if (picture) {
        line.Raw(",\"picturewidth\":").Number(picture->width).Raw(",\"pictureheight\":").Number(picture->height);
    }
}

Flow ScreenshotCommand(const Args& args, Session& session) {
    // [X,Y,W,H] [WxH] [PATH], each in its place when given.
    Rect region = GetVirtualScreenBounds();
    std::optional<FittedSize> box;
    std::optional<std::string_view> path;
    std::size_t next = 1;
    if (next < args.size() && IsRegionText(args[next])) {
        const std::optional<Rect> given = RegionArgument(args[next], session, kScreenshotUsage);
        if (!given) return Flow::Continue;
        region = *given;
        ++next;
    }
    // A word that reads as a size is one: "./800x600" names a file of that name.
    if (next < args.size()) {
        box = SizeArgument(args[next]);
        if (box) ++next;
    }
    if (next < args.size()) path = args[next++];
    if (next < args.size()) {
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
    std::optional<FittedSize> picture;
    const std::uint8_t* pixels = captured.pixels;
    std::size_t stride = captured.stride;
    if (box) {
        picture = FitInside(captured.width, captured.height, box->width, box->height);
        if (picture->width != captured.width || picture->height != captured.height) {
            ScaleDown(captured.pixels, captured.stride, captured.width, captured.height, *picture, state.scaled,
                      state.scaleWork);
            pixels = state.scaled.data();
            stride = std::size_t{picture->width} * 4;
        }
    }
    const std::uint32_t pictureWidth = picture ? picture->width : captured.width;
    const std::uint32_t pictureHeight = picture ? picture->height : captured.height;
    const std::span<const std::uint8_t> png = state.encoder.Encode(pixels, stride, pictureWidth, pictureHeight);
    if (png.empty()) {
        RespondError(session.out, "PNG encoding failed");
        return Flow::Continue;
    }
    if (!path) {
        AssignBase64(state.text, png.data(), png.size());
        // Base64 needs no escaping: it goes out as it is, straight from where it was made.
        JsonLine line(session.out);
        ScreenshotHead(line, *taken, captured, picture);
        line.Raw(",\"png\":\"").Raw(state.text).Raw("\"}\n");
        return Flow::Continue;
    }
    if (const DWORD code = WriteWholeFile(*path, png); code != 0) {
        RespondError(session.out, {"Cannot write ", *path, ": ", LastErrorText(code)});
        return Flow::Continue;
    }
    JsonLine line(session.out);
    ScreenshotHead(line, *taken, captured, picture);
    line.Raw(",\"path\":").String(*path).Raw(",\"bytes\":").Number(png.size()).Raw("}\n");
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"pixel", PixelCommand},
    {"screenshot", ScreenshotCommand},
};

}  // namespace

std::span<const CommandRow> ScreenCommands() { return kRows; }

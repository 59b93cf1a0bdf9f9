#include "daemon/response.h"

#include "daemon/json_text.h"

#include <charconv>
#include <string>

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

namespace {

// Gathers one line in place and hands it to the stream's buffer in one piece (or in a few,
// for a line longer than its room), then flushes it: every line the daemon answers is flushed
// as it is written. Numbers go in by to_chars: no locale, no stream state. Write errors are
// ignored, as everywhere in the daemon.
class LineWriter {
   public:
    explicit LineWriter(std::ostream& out) : out_(out) {}
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    ~LineWriter() {
        Spill();
        if (std::streambuf* buffer = out_.rdbuf()) buffer->pubsync();
    }

    LineWriter& Text(std::string_view text) {
        if (text.size() > sizeof buffer_ - size_) {
            Spill();
            if (text.size() > sizeof buffer_) {
                out_.rdbuf()->sputn(text.data(), static_cast<std::streamsize>(text.size()));
                return *this;
            }
        }
        text.copy(buffer_ + size_, text.size());
        size_ += text.size();
        return *this;
    }

    template <typename Number>
    LineWriter& Value(Number value, int base = 10) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
        return Text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }

   private:
    void Spill() {
        if (size_ > 0) out_.rdbuf()->sputn(buffer_, static_cast<std::streamsize>(size_));
        size_ = 0;
    }

    std::ostream& out_;
    char buffer_[256];
    std::size_t size_ = 0;
};

}  // namespace

namespace {

void WriteEnvelope(std::ostream& out, std::string_view status, std::initializer_list<std::string_view> message,
                   std::uint32_t data) {
    LineWriter line(out);
    line.Text("{\"status\":\"").Text(status).Text("\"");
    bool any = false;
    for (const std::string_view piece : message) any = any || !piece.empty();
    if (any) {
        line.Text(",\"message\":\"");
        // Escaped piece by piece: a piece ends where a character ends, as every piece here does
        // (fixed texts and whole client words).
        for (const std::string_view piece : message) {
            WriteJsonText([&line](std::string_view run) { line.Text(run); }, piece);
        }
        line.Text("\"");
    }
    if (data > 0) line.Text(",\"data\":").Value(data);
    line.Text("}\n");
}

}  // namespace

void WriteResponse(std::ostream& out, std::string_view status, std::string_view message, std::uint32_t data) {
    WriteEnvelope(out, status, {message}, data);
}

void RespondOk(std::ostream& out, std::uint32_t data) { WriteResponse(out, "ok", std::string_view(), data); }

void RespondError(std::ostream& out, std::string_view message) { WriteResponse(out, "error", message, 0); }

void RespondError(std::ostream& out, std::initializer_list<std::string_view> message) {
    WriteEnvelope(out, "error", message, 0);
}

void RespondAction(std::ostream& out, const ActionResult& result) {
    if (result.success) {
        RespondOk(out, result.count);
    } else {
        RespondError(out, result.message);
    }
}

void PrintHelp(std::ostream& err) { err << kHelpText; }

void WriteHandleLine(std::ostream& out, std::uint64_t handle) {
    // Hexadecimal for the handle alone, lower case, no padding.
    LineWriter(out).Text("{\"status\":\"ok\",\"hwnd\":\"0x").Value(handle, 16).Text("\"}\n");
}

void WritePositionLine(std::ostream& out, std::int32_t x, std::int32_t y) {
    LineWriter(out).Text("{\"status\":\"ok\",\"x\":").Value(x).Text(",\"y\":").Value(y).Text("}\n");
}

void WriteBoundsLine(std::ostream& out, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    LineWriter(out)
        .Text("{\"status\":\"ok\",\"left\":")
        .Value(left)
        .Text(",\"top\":")
        .Value(top)
        .Text(",\"right\":")
        .Value(right)
        .Text(",\"bottom\":")
        .Value(bottom)
        .Text("}\n");
}

namespace {

// The answers that are not sent over and over are put together in a string and written in one
// go: the hot lines above keep LineWriter to themselves, small enough to be inlined.
class Assembled {
   public:
    Assembled& Text(std::string_view text) {
        line_ += text;
        return *this;
    }
    Assembled& String(std::string_view text) {
        line_ += '"';
        AppendJsonText(line_, text);
        line_ += '"';
        return *this;
    }
    template <typename Number>
    Assembled& Value(Number value, int base = 10) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
        line_.append(digits, static_cast<std::size_t>(end - digits));
        return *this;
    }
    Assembled& Bool(bool value) { return Text(value ? "true" : "false"); }
    // Writes the line, with `tail` (written as it is, not copied) before its last `end` text.
    void WriteTo(std::ostream& out, std::string_view tail = {}, std::string_view end = "}\n") {
        std::streambuf* buffer = out.rdbuf();
        buffer->sputn(line_.data(), static_cast<std::streamsize>(line_.size()));
        if (!tail.empty()) buffer->sputn(tail.data(), static_cast<std::streamsize>(tail.size()));
        buffer->sputn(end.data(), static_cast<std::streamsize>(end.size()));
        buffer->pubsync();
    }

   private:
    std::string line_ = "{\"status\":\"ok\",";
};

Assembled ScreenshotHead(std::int32_t left, std::int32_t top, std::uint32_t width, std::uint32_t height) {
    Assembled line;
    line.Text("\"left\":").Value(left).Text(",\"top\":").Value(top);
    line.Text(",\"width\":").Value(width).Text(",\"height\":").Value(height);
    return line;
}

}  // namespace

void WriteWindowListLine(std::ostream& out, const WindowEntry* entries, std::size_t count) {
    Assembled line;
    line.Text("\"windows\":[");
    for (std::size_t i = 0; i < count; ++i) {
        const WindowEntry& w = entries[i];
        if (i > 0) line.Text(",");
        line.Text("{\"hwnd\":\"0x").Value(w.hwnd, 16).Text("\",\"title\":").String(w.title);
        line.Text(",\"class\":").String(w.className).Text(",\"pid\":").Value(w.pid);
        line.Text(",\"left\":").Value(w.left).Text(",\"top\":").Value(w.top);
        line.Text(",\"right\":").Value(w.right).Text(",\"bottom\":").Value(w.bottom);
        line.Text(",\"minimized\":").Bool(w.minimized).Text(",\"maximized\":").Bool(w.maximized);
        line.Text(",\"foreground\":").Bool(w.foreground).Text("}");
    }
    line.WriteTo(out, {}, "]}\n");
}

void WriteActiveLine(std::ostream& out, std::uint64_t handle, std::string_view title) {
    Assembled line;
    line.Text("\"hwnd\":\"0x").Value(handle, 16).Text("\",\"title\":").String(title).WriteTo(out);
}

void WriteSessionLine(std::ostream& out, std::uint32_t session, std::string_view desktop, bool interactive) {
    Assembled line;
    line.Text("\"session\":").Value(session).Text(",\"desktop\":").String(desktop);
    line.Text(",\"interactive\":").Bool(interactive).WriteTo(out);
}

void WritePixelLine(std::ostream& out, unsigned red, unsigned green, unsigned blue) {
    Assembled line;
    line.Text("\"r\":").Value(red).Text(",\"g\":").Value(green).Text(",\"b\":").Value(blue).WriteTo(out);
}

void WriteScreenshotLine(std::ostream& out, std::int32_t left, std::int32_t top, std::uint32_t width,
                         std::uint32_t height, std::string_view png) {
    // Base64 needs no escaping: it goes out as it is, straight from where it was made.
    ScreenshotHead(left, top, width, height).Text(",\"png\":\"").WriteTo(out, png, "\"}\n");
}

void WriteScreenshotFileLine(std::ostream& out, std::int32_t left, std::int32_t top, std::uint32_t width,
                             std::uint32_t height, std::string_view path, std::uint64_t bytes) {
    ScreenshotHead(left, top, width, height)
        .Text(",\"path\":")
        .String(path)
        .Text(",\"bytes\":")
        .Value(bytes)
        .WriteTo(out);
}

void WriteClipboardLine(std::ostream& out, std::string_view text) {
    Assembled line;
    line.Text("\"text\":").String(text).WriteTo(out);
}

std::string HandleText(std::uint64_t handle) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, handle, 16).ptr;
    return "0x" + std::string(digits, static_cast<std::size_t>(end - digits));
}

void WriteVersionLine(std::ostream& out) { LineWriter(out).Text("{\"version\":\"1.0.0\"}\n"); }

// The daemon's own cost per command, against the simulated desktop (which records nothing in a
// fresh process, so these measure marlet and not the recorder).
#include "daemon/command_loop.h"
#include "daemon/daemon_state.h"
#include "protocol/envelope.h"
#include "protocol/tokenizer.h"
#include "keyboard/key_combo.h"
#include "pointer/coordinate_mapping.h"
#include "image/png_encoder.h"

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

// A stream that formats but discards, so the benchmarks do not measure a growing buffer.
class NullBuffer : public std::streambuf {
   protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

NullBuffer nullBuffer;
std::ostream nullStream(&nullBuffer);

void BM_SplitArgsShort(benchmark::State& state) {
    const std::string line = "click 100,200 right";
    for (auto _ : state) benchmark::DoNotOptimize(SplitArgs(line));
}
BENCHMARK(BM_SplitArgsShort);

void BM_SplitArgs1MB(benchmark::State& state) {
    std::string line = "type \"";
    while (line.size() < (1u << 20)) line += "lorem ipsum dolor sit amet ";
    line += '"';
    for (auto _ : state) benchmark::DoNotOptimize(SplitArgs(line));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_SplitArgs1MB);

void BM_DispatchLine(benchmark::State& state, const char* line) {
    const std::string text = line;
    std::vector<std::string> args;
    DaemonState kept;
    for (auto _ : state) benchmark::DoNotOptimize(HandleLine(text, args, nullStream, nullStream, kept));
}
BENCHMARK_CAPTURE(BM_DispatchLine, pos, "pos");
BENCHMARK_CAPTURE(BM_DispatchLine, move, "move 960,540");
BENCHMARK_CAPTURE(BM_DispatchLine, press, "press ctrl+c");
BENCHMARK_CAPTURE(BM_DispatchLine, type, "type \"Hello, world!\"");
BENCHMARK_CAPTURE(BM_DispatchLine, unknown, "frobnicate 1 2 3");

void BM_RespondPlain(benchmark::State& state) {
    for (auto _ : state) RespondError(nullStream, "Invalid HWND");
}
BENCHMARK(BM_RespondPlain);

void BM_RespondEscaped(benchmark::State& state) {
    const std::string message = "Window not found: C:\\Users\\tab\there \"quoted\" caf\xC3\xA9 \xFF";
    for (auto _ : state) RespondError(nullStream, message);
}
BENCHMARK(BM_RespondEscaped);

void BM_RespondOkData(benchmark::State& state) {
    for (auto _ : state) RespondOk(nullStream, 2);
}
BENCHMARK(BM_RespondOkData);

void BM_ParseKeyCombo(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ParseKeyCombo("ctrl+shift+esc"));
}
BENCHMARK(BM_ParseKeyCombo);

void BM_ScreenToAbsolute(benchmark::State& state) {
    std::int32_t x = 0;
    for (auto _ : state) {
        std::int32_t absX = 0;
        std::int32_t absY = 0;
        benchmark::DoNotOptimize(ScreenToAbsolute(x, 540, absX, absY));
        benchmark::DoNotOptimize(absX);
        x = (x + 7) % 1920;
    }
}
BENCHMARK(BM_ScreenToAbsolute);

// A picture like a desktop: a wallpaper, windows with flat fills, a title bar gradient and lines
// of text-like detail, as a capture holds it (four bytes a pixel).
std::vector<std::uint8_t> DesktopPicture(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> px(std::size_t{width} * height * 4);
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* p = &px[(std::size_t{y} * width + x) * 4];
            p[0] = 0x60;
            p[1] = 0x30;
            p[2] = static_cast<std::uint8_t>(0x10 + y / 16);
            if (x > 200 && x < 1400 && y > 100 && y < 900) {
                p[0] = p[1] = p[2] = 0xF0;
                if (y < 130) {
                    p[0] = static_cast<std::uint8_t>(x);
                    p[1] = 0x80;
                    p[2] = 0x20;
                }
                noise = noise * 1103515245 + 12345;
                if (y > 150 && (y % 20) < 12 && ((noise >> 16) % 5) == 0) p[0] = p[1] = p[2] = 0x10;
            }
        }
    }
    return px;
}

void BM_PngEncodeDesktop1080p(benchmark::State& state) {
    const std::uint32_t width = 1920;
    const std::uint32_t height = 1080;
    const std::vector<std::uint8_t> px = DesktopPicture(width, height);
    PngEncoder encoder;
    std::size_t bytes = 0;
    for (auto _ : state) bytes = encoder.Encode(px.data(), std::size_t{width} * 4, width, height).size();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * width * height);  // pixels a second
    state.counters["png_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PngEncodeDesktop1080p)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

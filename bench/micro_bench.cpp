// The daemon's own cost per command, against the simulated desktop (which records nothing in a
// fresh process, so these measure marlet and not the recorder).
#include "daemon/command_loop.h"
#include "daemon/daemon_state.h"
#include "daemon/response.h"
#include "daemon/tokenizer.h"
#include "keyboard/key_combo.h"
#include "pointer/coordinate_mapping.h"

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>

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

}  // namespace

// The picture search on a full 1920 x 1080 screen with a 50 x 50 template, single thread: the worst
// cases (a flat screen the template is not on, exact and with tolerance 8), a busy screen and a
// speckled one like text it is not on, one it is on at the bottom right (the whole screen scanned), and one read of the screen's
// 8.3 MB, the least any search can cost. bench/image_search_bench.py runs OpenCV beside it.
#include "image/template_search.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kW = 1920;
constexpr std::uint32_t kH = 1080;
constexpr std::uint32_t kT = 50;

// The screens and the template, by formulas that image_search_bench.py computes again for OpenCV.
std::uint32_t Busy(std::uint32_t x, std::uint32_t y) {
    return (((x * 3 + y) & 0xFF) << 16) | (((x ^ (y * 5)) & 0xFF) << 8) | ((x + y * 7) & 0xFF);
}
std::uint32_t Pattern(std::uint32_t x, std::uint32_t y) {
    return ((x * 5 + y * 3) & 0xFF) << 16 | ((x * 7 + 40) & 0xFF) << 8 | ((y * 11 + 90) & 0xFF);
}

// Black specks on white, a fifth of the pixels, like text: black-to-white edges everywhere, so
// anchors on such an edge match often and the comparison must rule positions out.
bool Speck(std::uint32_t x, std::uint32_t y, std::uint32_t a, std::uint32_t b) {
    return (((x * a) ^ (y * b)) >> 3) % 1024 < 205;
}
std::uint32_t Text(std::uint32_t x, std::uint32_t y) { return Speck(x, y, 73856093u, 19349663u) ? 0 : 0xFFFFFF; }
std::uint32_t TextPattern(std::uint32_t x, std::uint32_t y) { return Speck(x, y, 83492791u, 2654435761u) ? 0 : 0xFFFFFF; }

struct Screen {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(std::size_t{kW} * kH);
    PixelView View() const { return {reinterpret_cast<const std::uint8_t*>(pixels.data()), kW * 4, kW, kH}; }
};

Screen FlatScreen() {
    Screen s;
    for (auto& p : s.pixels) p = 0x808080;
    return s;
}

Screen BusyScreen(bool withTemplate) {
    Screen s;
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) s.pixels[std::size_t{y} * kW + x] = Busy(x, y);
    }
    if (withTemplate) {
        for (std::uint32_t y = 0; y < kT; ++y) {
            for (std::uint32_t x = 0; x < kT; ++x) {
                s.pixels[std::size_t{kH - kT + y} * kW + (kW - kT + x)] = Pattern(x, y);
            }
        }
    }
    return s;
}

Screen TextScreen() {
    Screen s;
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) s.pixels[std::size_t{y} * kW + x] = Text(x, y);
    }
    return s;
}

template <std::uint32_t (*Colour)(std::uint32_t, std::uint32_t)>
Template MakeTemplate() {
    DecodedImage image{kT, kT, {}};
    for (std::uint32_t y = 0; y < kT; ++y) {
        for (std::uint32_t x = 0; x < kT; ++x) image.pixels.push_back(0xFF000000u | Colour(x, y));
    }
    return Template(image);
}

void Search(benchmark::State& state, const Screen& screen, std::uint8_t tolerance, bool expectFound,
            const Template& t = MakeTemplate<Pattern>()) {
    for (auto _ : state) {
        const Point at = t.FindFirst(screen.View(), tolerance);
        benchmark::DoNotOptimize(at);
        if ((at.x >= 0) != expectFound) state.SkipWithError("wrong answer");
    }
}

void BM_FlatAbsentExact(benchmark::State& state) { Search(state, FlatScreen(), 0, false); }
void BM_FlatAbsentTolerance8(benchmark::State& state) { Search(state, FlatScreen(), 8, false); }
void BM_BusyAbsentExact(benchmark::State& state) { Search(state, BusyScreen(false), 0, false); }
void BM_BusyAbsentTolerance8(benchmark::State& state) { Search(state, BusyScreen(false), 8, false); }
void BM_BusyBottomRightExact(benchmark::State& state) { Search(state, BusyScreen(true), 0, true); }
void BM_BusyBottomRightTolerance8(benchmark::State& state) { Search(state, BusyScreen(true), 8, true); }

void BM_TextAbsentExact(benchmark::State& state) { Search(state, TextScreen(), 0, false, MakeTemplate<TextPattern>()); }
void BM_TextAbsentTolerance8(benchmark::State& state) {
    Search(state, TextScreen(), 8, false, MakeTemplate<TextPattern>());
}

void BM_ReadTheScreenOnce(benchmark::State& state) {
    const Screen screen = BusyScreen(false);
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (const std::uint32_t p : screen.pixels) sum += p;
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(BM_FlatAbsentExact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlatAbsentTolerance8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusyAbsentExact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusyAbsentTolerance8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusyBottomRightExact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BusyBottomRightTolerance8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextAbsentExact)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextAbsentTolerance8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTheScreenOnce)->Unit(benchmark::kMillisecond);

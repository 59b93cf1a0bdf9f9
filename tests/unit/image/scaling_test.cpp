#include "image/scaling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

TEST(Scaling, FitsInsideTheBoxKeepingTheAspectAndNeverEnlarges) {
    const struct {
        std::uint32_t w, h, boxW, boxH, fitW, fitH;
    } cases[] = {
        {1920, 1080, 1568, 1568, 1568, 882},  {1080, 1920, 1568, 1568, 882, 1568},
        {1920, 1080, 1366, 768, 1365, 768},   {3840, 1080, 1568, 1568, 1568, 441},
        {800, 600, 1568, 1568, 800, 600},     {800, 600, 800, 600, 800, 600},
        {1000, 1, 10, 10, 10, 1},             {1, 1000, 10, 10, 1, 10},
        {7, 5, 3, 3, 3, 2},                   {9, 9, 3, 3, 3, 3},
    };
    for (const auto& c : cases) {
        const FittedSize fit = FitInside(c.w, c.h, c.boxW, c.boxH);
        EXPECT_EQ(fit.width, c.fitW) << c.w << "x" << c.h << " in " << c.boxW << "x" << c.boxH;
        EXPECT_EQ(fit.height, c.fitH) << c.w << "x" << c.h << " in " << c.boxW << "x" << c.boxH;
    }
}

// A picture of random colours, four bytes a pixel, rows padded beyond the width as a capture's
// stride may be.
struct Picture {
    std::uint32_t width, height;
    std::size_t stride;
    std::vector<std::uint8_t> bytes;
    std::uint8_t At(std::uint32_t x, std::uint32_t y, int c) const { return bytes[y * stride + x * 4 + c]; }
};

Picture Random(std::uint32_t w, std::uint32_t h, unsigned seed) {
    std::mt19937 random(seed);
    Picture p{w, h, std::size_t{w} * 4 + 8, {}};
    p.bytes.resize(p.stride * h);
    for (auto& b : p.bytes) b = static_cast<std::uint8_t>(random());
    return p;
}

TEST(Scaling, AnIntegerFactorAveragesWholeBlocksExactly) {
    // Small pictures, and a large one that two threads scale half each.
    const struct {
        std::uint32_t k, w, h;
    } cases[] = {{2, 6, 4}, {3, 6, 4}, {5, 6, 4}, {2, 1024, 513}};
    for (const auto& [k, w, h] : cases) {
        const Picture p = Random(w * k, h * k, k + w);
        std::vector<std::uint8_t> out;
        std::vector<std::uint64_t> work;
        ScaleDown(p.bytes.data(), p.stride, p.width, p.height, {w, h}, out, work);
        ASSERT_EQ(out.size(), std::size_t{w} * h * 4);
        for (std::uint32_t y = 0; y < h; ++y) {
            for (std::uint32_t x = 0; x < w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    std::uint32_t sum = 0;
                    for (std::uint32_t dy = 0; dy < k; ++dy) {
                        for (std::uint32_t dx = 0; dx < k; ++dx) sum += p.At(x * k + dx, y * k + dy, c);
                    }
                    ASSERT_EQ(out[(y * w + x) * 4 + c], (sum + k * k / 2) / (k * k)) << k << " " << x << "," << y;
                }
                ASSERT_EQ(out[(y * w + x) * 4 + 3], 0);
            }
        }
    }
}

TEST(Scaling, AnyFactorKeepsFlatAreasFlatAndEachPixelWithinWhatItCovers) {
    const struct {
        std::uint32_t w, h, toW, toH;
    } cases[] = {{7, 5, 3, 2}, {1920, 1080, 1568, 882}, {13, 1, 4, 1}, {5, 9, 5, 4}, {3, 3, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Picture flat{c.w, c.h, std::size_t{c.w} * 4, {}};
        for (std::uint32_t i = 0; i < c.w * c.h; ++i) flat.bytes.insert(flat.bytes.end(), {12, 200, 77, 0});
        std::vector<std::uint8_t> out;
        std::vector<std::uint64_t> work;
        ScaleDown(flat.bytes.data(), flat.stride, c.w, c.h, {c.toW, c.toH}, out, work);
        for (std::size_t i = 0; i < out.size(); i += 4) {
            ASSERT_EQ(out[i], 12);
            ASSERT_EQ(out[i + 1], 200);
            ASSERT_EQ(out[i + 2], 77);
        }
        if (c.w * c.h > 10000) continue;
        const Picture p = Random(c.w, c.h, c.w * 31 + c.h);
        ScaleDown(p.bytes.data(), p.stride, c.w, c.h, {c.toW, c.toH}, out, work);
        for (std::uint32_t y = 0; y < c.toH; ++y) {
            for (std::uint32_t x = 0; x < c.toW; ++x) {
                // The source pixels the output pixel overlaps at all.
                const std::uint32_t x0 = x * c.w / c.toW, x1 = ((x + 1) * c.w + c.toW - 1) / c.toW;
                const std::uint32_t y0 = y * c.h / c.toH, y1 = ((y + 1) * c.h + c.toH - 1) / c.toH;
                for (int ch = 0; ch < 3; ++ch) {
                    std::uint8_t lo = 255, hi = 0;
                    for (std::uint32_t sy = y0; sy < y1; ++sy) {
                        for (std::uint32_t sx = x0; sx < x1; ++sx) {
                            lo = std::min(lo, p.At(sx, sy, ch));
                            hi = std::max(hi, p.At(sx, sy, ch));
                        }
                    }
                    const std::uint8_t v = out[(y * c.toW + x) * 4 + ch];
                    EXPECT_TRUE(v >= lo && v <= hi) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace

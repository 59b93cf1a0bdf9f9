#include "image/png_encoder.h"
#include "support/png_check.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// A picture as a capture holds it: BGRX rows, `stride` bytes apart (with padding past the row,
// which must not leak into the picture), random enough that nothing compresses it away.
struct Picture {
    std::uint32_t width;
    std::uint32_t height;
    std::size_t stride;
    std::vector<std::uint8_t> bgrx;
    std::vector<std::uint8_t> rgb;
};

Picture MakePicture(std::uint32_t width, std::uint32_t height, unsigned seed) {
    Picture p{width, height, std::size_t{width} * 4 + 12, {}, {}};
    p.bgrx.assign(p.stride * height, 0xEE);
    std::mt19937 rng(seed);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            // Flat stretches and noise, as a desktop has both.
            const bool flat = (x / 16 + y / 16) % 3 == 0;
            const std::uint32_t c = flat ? 0x336699u : static_cast<std::uint32_t>(rng());
            std::uint8_t* px = &p.bgrx[p.stride * y + std::size_t{4} * x];
            px[0] = static_cast<std::uint8_t>(c);
            px[1] = static_cast<std::uint8_t>(c >> 8);
            px[2] = static_cast<std::uint8_t>(c >> 16);
            px[3] = static_cast<std::uint8_t>(rng());  // the unused byte: never in the picture
            p.rgb.insert(p.rgb.end(), {px[2], px[1], px[0]});
        }
    }
    return p;
}

TEST(PngEncoder, DecodesToExactlyThePixelsAtEverySize) {
    PngEncoder encoder;  // one encoder for all: its kept buffers must not leak between pictures
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
        {1, 1}, {3, 5}, {7, 63}, {7, 64}, {5, 65}, {33, 129}, {65536, 1}, {1, 300}, {1024, 700}, {2, 2},
    };
    unsigned seed = 1;
    for (const auto& [width, height] : sizes) {
        const Picture p = MakePicture(width, height, seed++);
        const auto png = encoder.Encode(p.bgrx.data(), p.stride, width, height);
        const png_check::Decoded d = png_check::Decode(png);
        ASSERT_EQ(d.error, "") << width << "x" << height;
        EXPECT_EQ(d.width, width);
        EXPECT_EQ(d.height, height);
        EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"})) << width << "x" << height;
        EXPECT_TRUE(d.rgb == p.rgb) << width << "x" << height;
    }
}

TEST(PngEncoder, TheSamePixelsAlwaysGiveTheSameBytes) {
    const Picture p = MakePicture(1100, 600, 7);
    PngEncoder first;
    PngEncoder second;
    const auto a = first.Encode(p.bgrx.data(), p.stride, p.width, p.height);
    const std::vector<std::uint8_t> kept(a.begin(), a.end());
    second.Encode(p.bgrx.data(), p.stride, 3, 3);  // a different picture in between
    const auto b = second.Encode(p.bgrx.data(), p.stride, p.width, p.height);
    EXPECT_TRUE(kept == std::vector<std::uint8_t>(b.begin(), b.end()));
}

TEST(PngEncoder, AFlatScreenCompressesToAFractionOfItsSize) {
    std::vector<std::uint8_t> flat(std::size_t{1920} * 1080 * 4, 0x40);
    PngEncoder encoder;
    const auto png = encoder.Encode(flat.data(), 1920 * 4, 1920, 1080);
    EXPECT_LT(png.size(), 100000u);
    EXPECT_EQ(png_check::Decode(png).error, "");
}

TEST(PngEncoder, EmptyPictureGivesNothing) {
    PngEncoder encoder;
    std::uint8_t px[4] = {};
    EXPECT_TRUE(encoder.Encode(px, 4, 0, 1).empty());
    EXPECT_TRUE(encoder.Encode(px, 4, 1, 0).empty());
}

TEST(PngCrc, MatchesTheStandardCheckValues) {
    const std::string text = "123456789";
    EXPECT_EQ(PngCrc(0, reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0xCBF43926u);
    const std::uint8_t iend[4] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(PngCrc(0, iend, 4), 0xAE426082u);
}

}  // namespace

#include "image/png_decoder.h"

#include "image/png_encoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

// The pictures of png/, written by Pillow and ImageMagick (png/make_pngs.py): 13 x 7, each pixel
// from a formula computed again here.
constexpr std::uint32_t kW = 13;
constexpr std::uint32_t kH = 7;

std::vector<std::uint8_t> ReadFixture(const std::string& name) {
    std::ifstream in(std::string(MARLET_PNG_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}
std::uint32_t Rgb(std::uint32_t x, std::uint32_t y, std::uint32_t a = 255) {
    return Argb(a, (x * 40 + y * 7) & 255, (x * 3 + y * 50) & 255, (x * x + y) & 255);
}
std::uint32_t Alpha(std::uint32_t x, std::uint32_t y) { return (x * 20 + y * 30) & 255; }
std::uint32_t Grey(std::uint32_t x, std::uint32_t y) { return (x * 19 + y * 33) & 255; }
std::uint32_t GreyPixel(std::uint32_t v, std::uint32_t a = 255) { return Argb(a, v, v, v); }
std::uint32_t PaletteEntry(std::uint32_t i, std::uint32_t a = 255) { return Argb(a, i * 10, 255 - i * 7, i * 3); }

struct Fixture {
    const char* file;
    std::function<std::uint32_t(std::uint32_t, std::uint32_t)> pixel;
};

TEST(PngDecoder, ReadsEveryAcceptedKindAsItsWriterWroteIt) {
    const Fixture fixtures[] = {
        {"rgb.png", [](auto x, auto y) { return Rgb(x, y); }},
        {"rgba.png", [](auto x, auto y) { return Rgb(x, y, Alpha(x, y)); }},
        {"grey.png", [](auto x, auto y) { return GreyPixel(Grey(x, y)); }},
        {"grey_alpha.png", [](auto x, auto y) { return GreyPixel(Grey(x, y), Alpha(x, y)); }},
        {"grey_1bit.png", [](auto x, auto y) { return GreyPixel((x + y) % 3 == 0 ? 255 : 0); }},
        {"palette.png",
         [](auto x, auto y) {
             const std::uint32_t i = (x + 2 * y) % 20;
             return PaletteEntry(i, i == 5 ? 0 : i == 6 ? 100 : 255);
         }},
        {"palette_4bit.png", [](auto x, auto y) { return PaletteEntry((x + 2 * y) % 20 % 16); }},
        {"grey_key.png",
         [](auto x, auto y) { return GreyPixel(Grey(x, y), Grey(x, y) == Grey(3, 2) ? 0 : 255); }},
        {"rgb_key.png",
         [](auto x, auto y) { return Rgb(x, y, (Rgb(x, y) == Rgb(5, 1)) ? 0 : 255); }},
        {"rgb_interlaced.png", [](auto x, auto y) { return Rgb(x, y); }},
        {"rgba_interlaced.png", [](auto x, auto y) { return Rgb(x, y, Alpha(x, y)); }},
        {"grey_interlaced.png", [](auto x, auto y) { return GreyPixel(Grey(x, y)); }},
    };
    for (const Fixture& f : fixtures) {
        SCOPED_TRACE(f.file);
        const std::vector<std::uint8_t> bytes = ReadFixture(f.file);
        ASSERT_FALSE(bytes.empty());
        DecodedImage image;
        ASSERT_EQ(DecodePng(bytes, f.file, image), "");
        ASSERT_EQ(image.width, kW);
        ASSERT_EQ(image.height, kH);
        for (std::uint32_t y = 0; y < kH; ++y) {
            for (std::uint32_t x = 0; x < kW; ++x) {
                ASSERT_EQ(image.pixels[y * kW + x], f.pixel(x, y)) << "at " << x << "," << y;
            }
        }
    }
}

// PNG files put together here, chunk by chunk, to be damaged in one way each.
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void AddChunk(std::vector<std::uint8_t>& png, const std::string& type, const std::vector<std::uint8_t>& data) {
    PutU32(png, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutU32(png, PngCrc(0, body.data(), body.size()));
}

std::vector<std::uint8_t> Header(std::uint32_t w, std::uint32_t h, std::uint8_t depth, std::uint8_t type) {
    std::vector<std::uint8_t> data;
    PutU32(data, w);
    PutU32(data, h);
    data.insert(data.end(), {depth, type, 0, 0, 0});
    return data;
}

std::vector<std::uint8_t> Deflated(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

const std::vector<std::uint8_t> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A 2 x 2 picture of the given header, extra chunks before the data, and raw (unfiltered) rows.
std::vector<std::uint8_t> Built(const std::vector<std::uint8_t>& header,
                                const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& before,
                                const std::vector<std::uint8_t>& raw, bool end = true) {
    std::vector<std::uint8_t> png = kSignature;
    AddChunk(png, "IHDR", header);
    for (const auto& [type, data] : before) AddChunk(png, type, data);
    AddChunk(png, "IDAT", Deflated(raw));
    if (end) AddChunk(png, "IEND", {});
    return png;
}

std::string Decoded(const std::vector<std::uint8_t>& png) {
    DecodedImage image;
    return DecodePng(png, "x.png", image);
}

TEST(PngDecoder, RefusesWhatItDoesNotReadAndNamesTheDamage) {
    const std::vector<std::uint8_t> rgbRows = {0, 1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12};  // 2 x 2 RGB
    ASSERT_EQ(Decoded(Built(Header(2, 2, 8, 2), {}, rgbRows)), "");
    const std::vector<std::uint8_t> paletteRows = {0, 0x01, 0, 0x10};  // 2 x 2 of 4-bit indices
    const std::vector<std::uint8_t> twoColours = {1, 2, 3, 4, 5, 6};

    std::vector<std::uint8_t> badCrc = Built(Header(2, 2, 8, 2), {}, rgbRows);
    badCrc[kSignature.size() + 25 + 10] ^= 1;  // inside the IDAT chunk's data
    std::vector<std::uint8_t> badData = kSignature;
    AddChunk(badData, "IHDR", Header(2, 2, 8, 2));
    AddChunk(badData, "IDAT", {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF});
    AddChunk(badData, "IEND", {});
    std::vector<std::uint8_t> apart = kSignature;
    AddChunk(apart, "IHDR", Header(2, 2, 8, 2));
    const std::vector<std::uint8_t> data = Deflated(rgbRows);
    AddChunk(apart, "IDAT", {data.begin(), data.begin() + 4});
    AddChunk(apart, "tEXt", {'a', 0, 'b'});
    AddChunk(apart, "IDAT", {data.begin() + 4, data.end()});
    AddChunk(apart, "IEND", {});
    std::vector<std::uint8_t> huge = Built(Header(10000, 10000, 8, 2), {}, rgbRows);
    std::vector<std::uint8_t> noHeader = kSignature;
    AddChunk(noHeader, "IEND", {});

    const struct {
        const char* what;
        std::vector<std::uint8_t> png;
        std::string error;
    } cases[] = {
        {"text", {'h', 'e', 'l', 'l', 'o'}, "Not a PNG: x.png"},
        {"empty", {}, "Not a PNG: x.png"},
        {"16-bit", Built(Header(2, 2, 16, 2), {}, rgbRows), "Unsupported PNG: 16-bit samples"},
        {"too large", huge, "Unsupported PNG: more than 67108864 pixels"},
        {"unknown critical chunk", Built(Header(2, 2, 8, 2), {{"ABCD", {}}}, rgbRows),
         "Unsupported PNG: critical chunk ABCD"},
        {"bad CRC", badCrc, "Damaged PNG: bad CRC in IDAT"},
        {"bad compressed data", badData, "Damaged PNG: bad compressed data"},
        {"short data", Built(Header(2, 2, 8, 2), {}, {rgbRows.begin(), rgbRows.end() - 1}),
         "Damaged PNG: image data ends early"},
        {"long data", Built(Header(2, 2, 8, 2), {}, [&] {
             auto more = rgbRows;
             more.push_back(0);
             return more;
         }()),
         "Damaged PNG: more image data than the picture holds"},
        {"bad filter", Built(Header(2, 2, 8, 2), {}, {5, 1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12}),
         "Damaged PNG: bad filter type 5"},
        {"no IEND", Built(Header(2, 2, 8, 2), {}, rgbRows, false), "Damaged PNG: no IEND"},
        {"no IHDR", noHeader, "Damaged PNG: no IHDR"},
        {"no IDAT", [] {
             std::vector<std::uint8_t> png = kSignature;
             AddChunk(png, "IHDR", Header(2, 2, 8, 2));
             AddChunk(png, "IEND", {});
             return png;
         }(),
         "Damaged PNG: no IDAT"},
        {"IDAT apart", apart, "Damaged PNG: IDAT chunks apart"},
        {"zero width", Built(Header(0, 2, 8, 2), {}, rgbRows), "Damaged PNG: bad image size"},
        {"bad depth", Built(Header(2, 2, 3, 2), {}, rgbRows), "Damaged PNG: bad bit depth 3 for colour type 2"},
        {"bad colour type", Built(Header(2, 2, 8, 5), {}, rgbRows), "Damaged PNG: bad colour type 5"},
        {"palette without PLTE", Built(Header(2, 2, 4, 3), {}, paletteRows), "Damaged PNG: no PLTE"},
        {"a palette of two", Built(Header(2, 2, 4, 3), {{"PLTE", twoColours}}, paletteRows), ""},
        {"index beyond the palette", Built(Header(2, 2, 4, 3), {{"PLTE", {1, 2, 3}}}, paletteRows),
         "Damaged PNG: palette index out of range"},
        {"tRNS longer than the palette", Built(Header(2, 2, 4, 3), {{"PLTE", twoColours}, {"tRNS", {0, 0, 0}}}, paletteRows),
         "Damaged PNG: bad tRNS"},
        {"bad chunk type", Built(Header(2, 2, 8, 2), {{"a1cd", {}}}, rgbRows), "Damaged PNG: bad chunk type"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Decoded(c.png), c.error) << c.what;
    }
}

TEST(PngDecoder, NeverReadsPastAFileCutShortAnywhere) {
    const std::vector<std::uint8_t> whole = ReadFixture("rgba_interlaced.png");
    ASSERT_EQ(Decoded(whole), "");
    for (std::size_t size = 0; size < whole.size(); ++size) {
        // A copy of exactly the bytes kept, so that a read past them is one the sanitizers see.
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const std::string error = Decoded(cut);
        EXPECT_FALSE(error.empty()) << size;
        EXPECT_TRUE(error.rfind("Damaged PNG: ", 0) == 0 || error == "Not a PNG: x.png") << size << ": " << error;
    }
}

}  // namespace

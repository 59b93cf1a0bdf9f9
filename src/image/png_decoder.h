// PNG decoding for the pictures clients give (templates to find on the screen): 8-bit greyscale,
// RGB, RGBA, greyscale with alpha and palette images (1, 2, 4 or 8 bits a sample for greyscale and
// palette), with their transparency, interlaced or not. Plain logic: the chunks and the row
// filters are ours, the decompression zlib's. A hostile file is refused, never read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A decoded picture: rows top-down, one 0xAARRGGBB value a pixel (in memory blue, green, red and
// alpha, the order of a captured screen's pixels).
struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// The most pixels a picture may have (a template larger than any screen would never be found).
inline constexpr std::uint64_t kMostPngPixels = std::uint64_t{1} << 26;

// Decodes `bytes` into `image`. Answers "" on success, else the error to report:
// "Not a PNG: NAME" (with `name` for where the bytes came from), "Unsupported PNG: ..." for a
// valid file of a kind not read (16-bit samples, too many pixels), "Damaged PNG: ..." for the rest.
std::string DecodePng(std::span<const std::uint8_t> bytes, std::string_view name, DecodedImage& image);

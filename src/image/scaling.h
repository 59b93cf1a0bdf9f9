// Scaling a captured picture down to fit a size, by a box filter: each pixel of the result is the
// average of the source area it covers, every source pixel weighted by how much of it lies in
// that area. Integer arithmetic throughout, so an integer factor averages whole blocks exactly.
// Plain logic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The size a `width` x `height` picture takes when fitted inside `boxWidth` x `boxHeight`, its
// aspect ratio kept and never enlarged; each side at least 1.
struct FittedSize {
    std::uint32_t width;
    std::uint32_t height;
};
FittedSize FitInside(std::uint32_t width, std::uint32_t height, std::uint32_t boxWidth, std::uint32_t boxHeight);

// Scales pixels (rows `stride` bytes apart, four bytes a pixel: blue, green, red, unused) to
// `to`, into `out` (rows of to.width * 4 bytes, the unused byte 0); `to` no larger than the
// source either way. `work` holds the rows in between and is kept by the caller for the next one.
void ScaleDown(const std::uint8_t* pixels, std::size_t stride, std::uint32_t width, std::uint32_t height,
               FittedSize to, std::vector<std::uint8_t>& out, std::vector<std::uint64_t>& work);

#include "image/scaling.h"

#include <algorithm>

FittedSize FitInside(std::uint32_t width, std::uint32_t height, std::uint32_t boxWidth, std::uint32_t boxHeight) {
    if (width <= boxWidth && height <= boxHeight) return {width, height};
    // The side that limits gets the box's size; the other its share, rounded to nearest.
    const bool wide = std::uint64_t{width} * boxHeight >= std::uint64_t{height} * boxWidth;
    if (wide) {
        const std::uint64_t h = (std::uint64_t{height} * boxWidth * 2 + width) / (std::uint64_t{width} * 2);
        return {boxWidth, static_cast<std::uint32_t>(std::clamp<std::uint64_t>(h, 1, boxHeight))};
    }
    const std::uint64_t w = (std::uint64_t{width} * boxHeight * 2 + height) / (std::uint64_t{height} * 2);
    return {static_cast<std::uint32_t>(std::clamp<std::uint64_t>(w, 1, boxWidth)), boxHeight};
}

namespace {

// One output pixel's share of the source along one axis: source pixel i has length `to` and
// output pixel j length `from`, so every overlap is a whole number and the shares of one output
// pixel add up to `from`.
struct Span {
    std::uint32_t first;               // the first source pixel it covers
    std::vector<std::uint32_t> parts;  // the overlap with each source pixel from `first` on
};

std::vector<Span> Spans(std::uint32_t from, std::uint32_t to) {
    std::vector<Span> spans(to);
    for (std::uint32_t j = 0; j < to; ++j) {
        const std::uint64_t start = std::uint64_t{j} * from;  // in units of 1 / to of a source pixel
        const std::uint64_t end = start + from;
        Span& s = spans[j];
        s.first = static_cast<std::uint32_t>(start / to);
        for (std::uint64_t i = s.first; i * to < end; ++i) {
            const std::uint64_t lo = std::max(start, i * to);
            const std::uint64_t hi = std::min(end, (i + 1) * to);
            s.parts.push_back(static_cast<std::uint32_t>(hi - lo));
        }
    }
    return spans;
}

}  // namespace

void ScaleDown(const std::uint8_t* pixels, std::size_t stride, std::uint32_t width, std::uint32_t height,
               FittedSize to, std::vector<std::uint8_t>& out, std::vector<std::uint64_t>& work) {
    const std::vector<Span> across = Spans(width, to.width);
    const std::vector<Span> down = Spans(height, to.height);
    out.assign(std::size_t{to.width} * to.height * 4, 0);
    // Each source row scaled across (sums weighted by `width` in all), then rows gathered down.
    const std::size_t rowValues = std::size_t{to.width} * 3;
    work.assign(rowValues * 2, 0);
    std::uint64_t* row = work.data();
    std::uint64_t* column = work.data() + rowValues;
    const std::uint64_t total = std::uint64_t{width} * height;
    for (std::uint32_t y = 0; y < to.height; ++y) {
        std::fill(column, column + rowValues, 0);
        const Span& rows = down[y];
        for (std::size_t k = 0; k < rows.parts.size(); ++k) {
            const std::uint8_t* source = pixels + (rows.first + k) * stride;
            for (std::uint32_t x = 0; x < to.width; ++x) {
                const Span& cols = across[x];
                std::uint64_t b = 0, g = 0, r = 0;
                const std::uint8_t* p = source + std::size_t{cols.first} * 4;
                for (const std::uint32_t part : cols.parts) {
                    b += std::uint64_t{part} * p[0];
                    g += std::uint64_t{part} * p[1];
                    r += std::uint64_t{part} * p[2];
                    p += 4;
                }
                row[x * 3] = b;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = r;
            }
            const std::uint64_t weight = rows.parts[k];
            for (std::size_t i = 0; i < rowValues; ++i) column[i] += row[i] * weight;
        }
        std::uint8_t* target = out.data() + std::size_t{y} * to.width * 4;
        for (std::uint32_t x = 0; x < to.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                target[x * 4 + c] = static_cast<std::uint8_t>((column[x * 3 + c] + total / 2) / total);
            }
        }
    }
}

#include "image/scaling.h"

#include <algorithm>
#include <system_error>
#include <thread>

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

// How the output pixels of one axis take the source's: output pixel j covers `count[j]` source
// pixels from `first[j]`, with the weights from `offset[j]` in `weights`. Source pixel i has
// length `to` and output pixel j length `from`, so every overlap is a whole number and the weights
// of one output pixel add up to `from`.
struct Axis {
    std::vector<std::uint32_t> first, count, offset, weights;
};

Axis AxisOf(std::uint32_t from, std::uint32_t to) {
    Axis a;
    a.first.resize(to);
    a.count.resize(to);
    a.offset.resize(to);
    for (std::uint32_t j = 0; j < to; ++j) {
        const std::uint64_t start = std::uint64_t{j} * from;  // in units of 1 / to of a source pixel
        const std::uint64_t end = start + from;
        a.first[j] = static_cast<std::uint32_t>(start / to);
        a.offset[j] = static_cast<std::uint32_t>(a.weights.size());
        for (std::uint64_t i = a.first[j]; i * to < end; ++i) {
            const std::uint64_t lo = std::max(start, i * to);
            const std::uint64_t hi = std::min(end, (i + 1) * to);
            a.weights.push_back(static_cast<std::uint32_t>(hi - lo));
        }
        a.count[j] = static_cast<std::uint32_t>(a.weights.size()) - a.offset[j];
    }
    return a;
}

// One source row scaled across: three sums a pixel (blue, green, red), each weighted by `from`.
void ScaleRow(const std::uint8_t* source, const Axis& across, std::uint32_t toWidth, std::uint64_t* row) {
    for (std::uint32_t x = 0; x < toWidth; ++x) {
        const std::uint8_t* p = source + std::size_t{across.first[x]} * 4;
        const std::uint32_t* w = across.weights.data() + across.offset[x];
        std::uint64_t b = 0, g = 0, r = 0;
        for (std::uint32_t k = 0; k < across.count[x]; ++k, p += 4) {
            b += std::uint64_t{w[k]} * p[0];
            g += std::uint64_t{w[k]} * p[1];
            r += std::uint64_t{w[k]} * p[2];
        }
        row[x * 3] = b;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = r;
    }
}

// Output rows [firstRow, endRow) of the picture, each from the source rows it covers; `work`
// holds a row scaled across and the sums of an output row.
void ScaleRows(const std::uint8_t* pixels, std::size_t stride, std::uint64_t total, const Axis& across,
               const Axis& down, FittedSize to, std::uint32_t firstRow, std::uint32_t endRow, std::uint8_t* out,
               std::vector<std::uint64_t>& work) {
    const std::size_t rowValues = std::size_t{to.width} * 3;
    work.assign(rowValues * 2, 0);
    std::uint64_t* row = work.data();
    std::uint64_t* column = work.data() + rowValues;
    const double inverse = 1.0 / static_cast<double>(total);
    // Neighbouring output rows share at most their boundary row: it is scaled across once.
    std::int64_t scaledRow = -1;
    for (std::uint32_t y = firstRow; y < endRow; ++y) {
        std::fill(column, column + rowValues, 0);
        for (std::uint32_t k = 0; k < down.count[y]; ++k) {
            const std::uint32_t sourceRow = down.first[y] + k;
            if (sourceRow != scaledRow) {
                ScaleRow(pixels + std::size_t{sourceRow} * stride, across, to.width, row);
                scaledRow = sourceRow;
            }
            const std::uint64_t weight = down.weights[down.offset[y] + k];
            for (std::size_t i = 0; i < rowValues; ++i) column[i] += row[i] * weight;
        }
        std::uint8_t* target = out + std::size_t{y} * to.width * 4;
        for (std::uint32_t x = 0; x < to.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                // (sum + total / 2) / total, rounded to nearest: estimated in floating point (a
                // division per channel would cost more than all the rest) and made exact.
                const std::uint64_t n = column[x * 3 + c] + total / 2;
                auto q = static_cast<std::uint64_t>(static_cast<double>(n) * inverse);
                if (q * total > n) {
                    --q;
                } else if ((q + 1) * total <= n) {
                    ++q;
                }
                target[x * 4 + c] = static_cast<std::uint8_t>(q);
            }
        }
    }
}

}  // namespace

void ScaleDown(const std::uint8_t* pixels, std::size_t stride, std::uint32_t width, std::uint32_t height,
               FittedSize to, std::vector<std::uint8_t>& out, std::vector<std::uint64_t>& work) {
    const Axis across = AxisOf(width, to.width);
    const Axis down = AxisOf(height, to.height);
    out.assign(std::size_t{to.width} * to.height * 4, 0);
    const std::uint64_t total = std::uint64_t{width} * height;
    // A large picture is scaled on two cores at once, each taking half the output rows.
    const bool split = std::uint64_t{width} * height >= (std::uint64_t{1} << 20) && to.height >= 2 &&
                       std::thread::hardware_concurrency() > 1;
    const std::uint32_t middle = split ? to.height / 2 : to.height;
    std::thread other;
    std::vector<std::uint64_t> otherWork;
    if (split) {
        try {
            other = std::thread([&] {
                ScaleRows(pixels, stride, total, across, down, to, middle, to.height, out.data(), otherWork);
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one does all of it.
        }
    }
    // This thread takes the first half, or all of it when there is no other.
    ScaleRows(pixels, stride, total, across, down, to, 0, other.joinable() ? middle : to.height, out.data(), work);
    if (other.joinable()) other.join();
}

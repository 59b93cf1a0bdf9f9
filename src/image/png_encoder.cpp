#include "image/png_encoder.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include <zlib.h>

struct PngEncoder::Compressor {
    z_stream stream{};
    bool ready = false;
    std::vector<std::uint8_t> rows;
    Compressor();
    ~Compressor();
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

struct PngEncoder::Slice {
    Buffer out;
    std::uint32_t adler = 1;
    std::size_t rawSize = 0;
    bool failed = false;
};

namespace {

// Rows filtered and handed to the compressor at a time.
constexpr std::uint32_t kBandRows = 16;
// Rows of one slice. Slices are compressed independently, each as deflate blocks that end on a
// byte boundary, and joined into one zlib stream (so two cores compress a picture at once);
// the division depends on the picture alone, so the same pixels always give the same bytes.
constexpr std::uint32_t kSliceRows = 64;
// Compressing threads at most, and the least picture that is worth a second one.
constexpr unsigned kMostThreads = 4;
constexpr std::size_t kThreadedPixels = 512 * 1024;

void PutU32(std::uint8_t* at, std::uint32_t v) {
    at[0] = static_cast<std::uint8_t>(v >> 24);
    at[1] = static_cast<std::uint8_t>(v >> 16);
    at[2] = static_cast<std::uint8_t>(v >> 8);
    at[3] = static_cast<std::uint8_t>(v);
}

// One row with the Up filter (type 2): each byte less the byte above it, which turns the long
// runs of a desktop (a window's background, a rule, the rows of a flat area) into zeros.
void FilterRow(std::uint8_t* out, const std::uint8_t* row, const std::uint8_t* above, std::uint32_t width) {
    *out++ = 2;
    if (above == nullptr) {
        for (std::uint32_t x = 0; x < width; ++x, row += 4) {
            *out++ = row[2];
            *out++ = row[1];
            *out++ = row[0];
        }
        return;
    }
    for (std::uint32_t x = 0; x < width; ++x, row += 4, above += 4) {
        *out++ = static_cast<std::uint8_t>(row[2] - above[2]);
        *out++ = static_cast<std::uint8_t>(row[1] - above[1]);
        *out++ = static_cast<std::uint8_t>(row[0] - above[0]);
    }
}

struct Picture {
    const std::uint8_t* pixels;
    std::size_t stride;
    std::uint32_t width;
    std::uint32_t height;
};

// Filters and compresses rows [first, end) into `slice` as raw deflate blocks: ended by a sync
// flush (byte-aligned, not final) unless it holds the last row, which ends the stream.
void CompressSlice(PngEncoder::Compressor& c, const Picture& picture, std::uint32_t first, std::uint32_t end,
                   PngEncoder::Slice& slice) {
    slice.out.size = 0;
    slice.adler = 1;
    slice.rawSize = 0;
    slice.failed = !c.ready || deflateReset(&c.stream) != Z_OK;
    if (slice.failed) return;
    const std::size_t rowBytes = 1 + std::size_t{3} * picture.width;
    c.rows.resize(rowBytes * kBandRows);
    const bool last = end == picture.height;
    for (std::uint32_t y = first; y < end;) {
        const std::uint32_t band = std::min(kBandRows, end - y);
        for (std::uint32_t k = 0; k < band; ++k, ++y) {
            const std::uint8_t* row = picture.pixels + picture.stride * y;
            FilterRow(c.rows.data() + rowBytes * k, row, y > 0 ? row - picture.stride : nullptr, picture.width);
        }
        const std::size_t size = rowBytes * band;
        slice.adler = static_cast<std::uint32_t>(adler32(slice.adler, c.rows.data(), static_cast<uInt>(size)));
        slice.rawSize += size;
        c.stream.next_in = c.rows.data();
        c.stream.avail_in = static_cast<uInt>(size);
        const int flush = y < end ? Z_NO_FLUSH : (last ? Z_FINISH : Z_SYNC_FLUSH);
        int status = Z_OK;
        do {
            const std::size_t room = deflateBound(&c.stream, c.stream.avail_in) + 64;
            c.stream.next_out = slice.out.Room(room);
            c.stream.avail_out = static_cast<uInt>(room);
            status = deflate(&c.stream, flush);
            slice.out.size += room - c.stream.avail_out;
            if (status == Z_STREAM_ERROR) {
                slice.failed = true;
                return;
            }
        } while (c.stream.avail_in > 0 || c.stream.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }
}

}  // namespace

std::uint32_t PngCrc(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    // zlib's CRC-32 is PNG's (ISO 3309); fed in pieces a 32-bit length can hold.
    uLong value = crc;
    while (size > 0) {
        const auto piece = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        value = crc32(value, data, piece);
        data += piece;
        size -= piece;
    }
    return static_cast<std::uint32_t>(value);
}

std::uint8_t* PngEncoder::Buffer::Room(std::size_t more) {
    if (capacity - size < more) {
        const std::size_t grown = std::max(size + more, capacity + capacity / 2);
        std::unique_ptr<std::uint8_t[]> bigger(new std::uint8_t[grown]);
        if (size > 0) std::memcpy(bigger.get(), data.get(), size);
        data = std::move(bigger);
        capacity = grown;
    }
    return data.get() + size;
}

PngEncoder::Compressor::Compressor() {
    // The fastest level, run-length matching only, raw deflate (the zlib framing is ours): a
    // screen's redundancy is runs (of zeros, after the Up filter), which this finds at a
    // fraction of a full search's cost.
    ready = deflateInit2(&stream, 1, Z_DEFLATED, -15, 8, Z_RLE) == Z_OK;
}

PngEncoder::Compressor::~Compressor() {
    if (ready) deflateEnd(&stream);
}

PngEncoder::PngEncoder() = default;
PngEncoder::~PngEncoder() = default;

void PngEncoder::Chunk(const char type[4], const std::uint8_t* data, std::size_t size) {
    std::uint8_t* p = png_.Room(8 + size + 4);
    PutU32(p, static_cast<std::uint32_t>(size));
    std::memcpy(p + 4, type, 4);
    if (size > 0) std::memcpy(p + 8, data, size);
    PutU32(p + 8 + size, PngCrc(0, p + 4, 4 + size));
    png_.size += 8 + size + 4;
}

std::span<const std::uint8_t> PngEncoder::Encode(const std::uint8_t* pixels, std::size_t stride, std::uint32_t width,
                                                 std::uint32_t height) {
    png_.size = 0;
    if (width == 0 || height == 0) return {};
    const Picture picture{pixels, stride, width, height};
    const std::uint32_t sliceCount = (height + kSliceRows - 1) / kSliceRows;
    if (slices_.size() < sliceCount) slices_.resize(sliceCount);
    unsigned threads = 1;
    if (std::size_t{width} * height >= kThreadedPixels) {
        threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
        threads = std::min<unsigned>(threads, sliceCount);
    }
    while (compressors_.size() < threads) compressors_.push_back(std::make_unique<Compressor>());
    const auto work = [&](unsigned worker) {
        for (std::uint32_t s = worker; s < sliceCount; s += threads) {
            CompressSlice(*compressors_[worker], picture, s * kSliceRows, std::min(height, (s + 1) * kSliceRows),
                          slices_[s]);
        }
    };
    std::vector<std::thread> helpers;
    for (unsigned worker = 1; worker < threads; ++worker) {
        try {
            helpers.emplace_back(work, worker);
        } catch (const std::system_error&) {
            // No thread to be had: this one does that share too, after its own.
            threads = worker;
            break;
        }
    }
    work(0);
    for (std::thread& helper : helpers) helper.join();

    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::memcpy(png_.Room(8), kSignature, 8);
    png_.size += 8;
    std::uint8_t header[13] = {};
    PutU32(header, width);
    PutU32(header + 4, height);
    header[8] = 8;  // bits per sample
    header[9] = 2;  // truecolour (RGB); compression, filter method and interlace stay 0
    Chunk("IHDR", header, sizeof header);

    // One IDAT chunk: the zlib header, the slices' blocks in order, and the Adler-32 of all the
    // filtered rows, combined from the slices'.
    std::size_t compressed = 2 + 4;
    for (std::uint32_t s = 0; s < sliceCount; ++s) {
        if (slices_[s].failed) return {};
        compressed += slices_[s].out.size;
    }
    std::uint8_t* idat = png_.Room(8 + compressed + 4);
    PutU32(idat, static_cast<std::uint32_t>(compressed));
    std::memcpy(idat + 4, "IDAT", 4);
    std::uint8_t* at = idat + 8;
    *at++ = 0x78;  // deflate, 32 KiB window
    *at++ = 0x01;  // fastest level; (0x78 << 8 | 0x01) is a multiple of 31 as the header needs
    uLong adler = 1;
    for (std::uint32_t s = 0; s < sliceCount; ++s) {
        const Slice& slice = slices_[s];
        std::memcpy(at, slice.out.data.get(), slice.out.size);
        at += slice.out.size;
        adler = adler32_combine(adler, slice.adler, static_cast<z_off_t>(slice.rawSize));
    }
    PutU32(at, static_cast<std::uint32_t>(adler));
    PutU32(at + 4, PngCrc(0, idat + 4, 4 + compressed));
    png_.size += 8 + compressed + 4;
    Chunk("IEND", nullptr, 0);
    return {png_.data.get(), png_.size};
}

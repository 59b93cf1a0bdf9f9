#include "image/png_decoder.h"

#include "image/png_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include <zlib.h>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t GetU32(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t depth = 0;
    std::uint8_t colourType = 0;
    bool interlaced = false;

    std::uint32_t Channels() const {
        switch (colourType) {
            case 2: return 3;
            case 4: return 2;
            case 6: return 4;
            default: return 1;  // greyscale, palette
        }
    }
    std::uint32_t BitsPerPixel() const { return Channels() * depth; }
    // The bytes a filter looks back by: one pixel's, at least one.
    std::size_t FilterStep() const { return std::max<std::uint32_t>(1, BitsPerPixel() / 8); }
    std::size_t RowBytes(std::uint32_t w) const { return (std::size_t{w} * BitsPerPixel() + 7) / 8; }
};

// What the optional chunks add: the palette, and the transparency of palette entries or the one
// transparent grey or colour.
struct Colours {
    std::array<std::uint32_t, 256> palette{};  // 0xAARRGGBB
    std::uint32_t paletteSize = 0;
    bool hasKey = false;
    std::uint16_t key[3] = {0, 0, 0};  // the transparent grey (key[0]) or red, green, blue
};

std::string Damaged(std::string_view what) { return "Damaged PNG: " + std::string(what); }

// The one error an IHDR can give, or "": what the format allows, and what we read.
std::string CheckHeader(const Header& h, std::uint8_t compression, std::uint8_t filter, std::uint8_t interlace) {
    if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFFu || h.height > 0x7FFFFFFFu) {
        return Damaged("bad image size");
    }
    bool depthAllowed = false;
    switch (h.colourType) {
        case 0: depthAllowed = h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16; break;
        case 3: depthAllowed = h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8; break;
        case 2:
        case 4:
        case 6: depthAllowed = h.depth == 8 || h.depth == 16; break;
        default: return Damaged("bad colour type " + std::to_string(h.colourType));
    }
    if (!depthAllowed) {
        return Damaged("bad bit depth " + std::to_string(h.depth) + " for colour type " + std::to_string(h.colourType));
    }
    if (compression != 0 || filter != 0 || interlace > 1) return Damaged("bad IHDR");
    if (h.depth == 16) return "Unsupported PNG: 16-bit samples";
    if (std::uint64_t{h.width} * h.height > kMostPngPixels) {
        return "Unsupported PNG: more than " + std::to_string(kMostPngPixels) + " pixels";
    }
    return {};
}

// The passes of a picture: the whole of it, or Adam7's seven.
struct Pass {
    std::uint32_t x0, y0, dx, dy;
};
constexpr Pass kWhole[] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                           {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

std::uint32_t PassSize(std::uint32_t full, std::uint32_t start, std::uint32_t step) {
    return full > start ? (full - start + step - 1) / step : 0;
}

std::span<const Pass> PassesOf(const Header& h) {
    if (h.interlaced) return kAdam7;
    return kWhole;
}

// The bytes the image data inflates to: each row of each pass with its filter byte.
std::uint64_t InflatedSize(const Header& h) {
    std::uint64_t total = 0;
    for (const Pass& p : PassesOf(h)) {
        const std::uint32_t w = PassSize(h.width, p.x0, p.dx);
        const std::uint32_t rows = PassSize(h.height, p.y0, p.dy);
        if (w == 0 || rows == 0) continue;
        total += std::uint64_t{rows} * (1 + h.RowBytes(w));
    }
    return total;
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    if (pb <= pc) return static_cast<std::uint8_t>(b);
    return static_cast<std::uint8_t>(c);
}

// Undoes one row's filter in place; `above` is the row before it, unfiltered (zeros for the first).
bool Unfilter(std::uint8_t type, std::uint8_t* row, const std::uint8_t* above, std::size_t size, std::size_t step) {
    switch (type) {
        case 0: return true;
        case 1:
            for (std::size_t i = step; i < size; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - step]);
            return true;
        case 2:
            for (std::size_t i = 0; i < size; ++i) row[i] = static_cast<std::uint8_t>(row[i] + above[i]);
            return true;
        case 3:
            for (std::size_t i = 0; i < size; ++i) {
                const int left = i >= step ? row[i - step] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + ((left + above[i]) >> 1));
            }
            return true;
        case 4:
            for (std::size_t i = 0; i < size; ++i) {
                const int left = i >= step ? row[i - step] : 0;
                const int upLeft = i >= step ? above[i - step] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + Paeth(left, above[i], upLeft));
            }
            return true;
        default: return false;
    }
}

// Sample `i` of an unfiltered row of samples `depth` bits wide (depth below 16).
std::uint32_t Sample(const std::uint8_t* row, std::size_t i, std::uint32_t depth) {
    if (depth == 8) return row[i];
    const std::size_t bit = i * depth;
    const std::uint32_t shift = 8 - depth - static_cast<std::uint32_t>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << depth) - 1);
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The pixel at `x` of an unfiltered row; false for a palette index beyond the palette.
bool PixelOf(const Header& h, const Colours& c, const std::uint8_t* row, std::uint32_t x, std::uint32_t& out) {
    switch (h.colourType) {
        case 0: {
            const std::uint32_t v = Sample(row, x, h.depth);
            const std::uint32_t grey = v * 255 / ((1u << h.depth) - 1);
            const bool clear = c.hasKey && v == c.key[0];
            out = Argb(clear ? 0 : 255, grey, grey, grey);
            return true;
        }
        case 2: {
            const std::uint8_t* p = row + std::size_t{x} * 3;
            const bool clear = c.hasKey && p[0] == c.key[0] && p[1] == c.key[1] && p[2] == c.key[2];
            out = Argb(clear ? 0 : 255, p[0], p[1], p[2]);
            return true;
        }
        case 3: {
            const std::uint32_t index = Sample(row, x, h.depth);
            if (index >= c.paletteSize) return false;
            out = c.palette[index];
            return true;
        }
        case 4: {
            const std::uint8_t* p = row + std::size_t{x} * 2;
            out = Argb(p[1], p[0], p[0], p[0]);
            return true;
        }
        default: {
            const std::uint8_t* p = row + std::size_t{x} * 4;
            out = Argb(p[3], p[0], p[1], p[2]);
            return true;
        }
    }
}

// Inflates the joined image data into `out`, which must come to exactly `expected` bytes; "" or
// the error. The buffer grows with what the data gives, so a small file that claims a huge
// picture costs no more than it holds.
std::string Inflate(const std::vector<std::uint8_t>& data, std::uint64_t expected, std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return Damaged("cannot start decompression");
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(expected, std::max<std::size_t>(65536, data.size() * 4))));
    std::size_t inDone = 0;
    std::size_t outDone = 0;
    int rc = Z_OK;
    // zlib counts in 32 bits: feed and drain in pieces.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    while (rc == Z_OK) {
        if (outDone == out.size() && out.size() < expected) {
            out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(expected, std::uint64_t{out.size()} * 2)));
        }
        const std::size_t inPiece = std::min(kPiece, data.size() - inDone);
        const std::size_t outPiece = std::min(kPiece, out.size() - outDone);
        z.next_in = const_cast<Bytef*>(data.data() + inDone);
        z.avail_in = static_cast<uInt>(inPiece);
        z.next_out = out.data() + outDone;
        z.avail_out = static_cast<uInt>(outPiece);
        rc = inflate(&z, Z_NO_FLUSH);
        inDone += inPiece - z.avail_in;
        outDone += outPiece - z.avail_out;
        // Out of room with more to come: grow, unless the picture is already whole.
        if (rc == Z_BUF_ERROR && outDone == out.size() && out.size() < expected) rc = Z_OK;
    }
    inflateEnd(&z);
    if (rc == Z_STREAM_END) return outDone == expected ? std::string() : Damaged("image data ends early");
    // No progress possible: with room left the data ended, with none there is more than the
    // picture holds.
    if (rc == Z_BUF_ERROR) {
        return Damaged(outDone < expected ? "image data ends early" : "more image data than the picture holds");
    }
    return Damaged("bad compressed data");
}

}  // namespace

std::string DecodePng(std::span<const std::uint8_t> bytes, std::string_view name, DecodedImage& image) {
    image.width = image.height = 0;
    image.pixels.clear();
    if (bytes.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), bytes.begin())) {
        return "Not a PNG: " + std::string(name);
    }
    Header h;
    Colours colours;
    std::vector<std::uint8_t> data;
    bool seenHeader = false;
    bool seenEnd = false;
    bool seenData = false;
    bool dataEnded = false;  // another chunk came after the image data
    std::size_t at = kSignature.size();
    while (!seenEnd) {
        if (bytes.size() - at < 12) {
            return Damaged(at == bytes.size() ? "no IEND" : "truncated chunk");
        }
        const std::uint32_t length = GetU32(&bytes[at]);
        const std::uint8_t* type = &bytes[at + 4];
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t t = type[i];
            if (!((t >= 'A' && t <= 'Z') || (t >= 'a' && t <= 'z'))) return Damaged("bad chunk type");
        }
        const std::string typeName(reinterpret_cast<const char*>(type), 4);
        if (length > 0x7FFFFFFFu || length > bytes.size() - at - 12) return Damaged("truncated " + typeName);
        const std::uint8_t* body = type + 4;
        const std::uint32_t crc = PngCrc(0, type, std::size_t{length} + 4);
        if (crc != GetU32(body + length)) return Damaged("bad CRC in " + typeName);
        at += std::size_t{length} + 12;

        if (!seenHeader && typeName != "IHDR") return Damaged("no IHDR");
        if (seenData && typeName != "IDAT") dataEnded = true;
        if (typeName == "IHDR") {
            if (seenHeader) return Damaged("second IHDR");
            if (length != 13) return Damaged("bad IHDR");
            seenHeader = true;
            h.width = GetU32(body);
            h.height = GetU32(body + 4);
            h.depth = body[8];
            h.colourType = body[9];
            h.interlaced = body[12] == 1;
            if (std::string e = CheckHeader(h, body[10], body[11], body[12]); !e.empty()) return e;
            if (h.colourType == 3) {
                for (std::uint32_t i = 0; i < 256; ++i) colours.palette[i] = 0xFF000000u;
            }
        } else if (typeName == "PLTE") {
            if (length % 3 != 0 || length == 0 || length / 3 > 256) return Damaged("bad PLTE");
            if (h.colourType == 3 && length / 3 > (1u << h.depth)) return Damaged("bad PLTE");
            colours.paletteSize = length / 3;
            for (std::uint32_t i = 0; i < colours.paletteSize; ++i) {
                colours.palette[i] = Argb(255, body[i * 3], body[i * 3 + 1], body[i * 3 + 2]);
            }
        } else if (typeName == "tRNS") {
            if (h.colourType == 3) {
                if (length > colours.paletteSize) return Damaged("bad tRNS");
                for (std::uint32_t i = 0; i < length; ++i) {
                    colours.palette[i] = (colours.palette[i] & 0x00FFFFFFu) | (std::uint32_t{body[i]} << 24);
                }
            } else if (h.colourType == 0 || h.colourType == 2) {
                const std::uint32_t samples = h.colourType == 0 ? 1 : 3;
                if (length != samples * 2) return Damaged("bad tRNS");
                colours.hasKey = true;
                for (std::uint32_t i = 0; i < samples; ++i) {
                    colours.key[i] = static_cast<std::uint16_t>((body[i * 2] << 8) | body[i * 2 + 1]);
                }
            }
            // Alpha channels need no tRNS: one there is ignored, as decoders do.
        } else if (typeName == "IDAT") {
            if (dataEnded) return Damaged("IDAT chunks apart");
            if (h.colourType == 3 && colours.paletteSize == 0) return Damaged("no PLTE");
            seenData = true;
            data.insert(data.end(), body, body + length);
        } else if (typeName == "IEND") {
            seenEnd = true;
        } else if (type[0] >= 'A' && type[0] <= 'Z') {
            return "Unsupported PNG: critical chunk " + typeName;
        }
    }
    if (!seenData) return Damaged("no IDAT");

    std::vector<std::uint8_t> raw;
    if (std::string e = Inflate(data, InflatedSize(h), raw); !e.empty()) return e;

    image.width = h.width;
    image.height = h.height;
    image.pixels.assign(std::size_t{h.width} * h.height, 0);
    const std::size_t step = h.FilterStep();
    std::vector<std::uint8_t> zeros(h.RowBytes(h.width), 0);
    std::size_t offset = 0;
    for (const Pass& p : PassesOf(h)) {
        const std::uint32_t w = PassSize(h.width, p.x0, p.dx);
        const std::uint32_t rows = PassSize(h.height, p.y0, p.dy);
        if (w == 0 || rows == 0) continue;
        const std::size_t rowBytes = h.RowBytes(w);
        const std::uint8_t* above = zeros.data();
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint8_t filter = raw[offset];
            std::uint8_t* row = &raw[offset + 1];
            if (!Unfilter(filter, row, above, rowBytes, step)) {
                image.pixels.clear();
                image.width = image.height = 0;
                return Damaged("bad filter type " + std::to_string(filter));
            }
            const std::size_t y = p.y0 + std::size_t{r} * p.dy;
            for (std::uint32_t i = 0; i < w; ++i) {
                std::uint32_t pixel = 0;
                if (!PixelOf(h, colours, row, i, pixel)) {
                    image.pixels.clear();
                    image.width = image.height = 0;
                    return Damaged("palette index out of range");
                }
                image.pixels[y * h.width + p.x0 + std::size_t{i} * p.dx] = pixel;
            }
            above = row;
            offset += 1 + rowBytes;
        }
    }
    return {};
}

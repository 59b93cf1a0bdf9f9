// Any bytes as a PNG file: the reader answers a picture or an error and never reads outside the
// bytes (the sanitizers see to that); a picture it answers has its size's pixels and is found in
// itself at its top left.
#include "image/png_decoder.h"
#include "image/png_encoder.h"
#include "image/template_search.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The input with every whole chunk's CRC made right, so that mutations reach past the CRC check
// into the chunks and the image data.
std::vector<std::uint8_t> WithGoodCrcs(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::size_t length = (std::size_t{bytes[at]} << 24) | (std::size_t{bytes[at + 1]} << 16) |
                                   (std::size_t{bytes[at + 2]} << 8) | bytes[at + 3];
        if (length > bytes.size() - at - 12) break;
        const std::uint32_t crc = PngCrc(0, &bytes[at + 4], length + 4);
        for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += length + 12;
    }
    return bytes;
}

void Check(const std::uint8_t* data, std::size_t size) {
    DecodedImage image;
    const std::string error = DecodePng({data, size}, "fuzz", image);
    if (!error.empty()) {
        if (!image.pixels.empty()) {
            std::fprintf(stderr, "marlet_png_fuzz: pixels kept after \"%s\"\n", error.c_str());
            std::abort();
        }
        return;
    }
    if (image.width == 0 || image.height == 0 || image.pixels.size() != std::size_t{image.width} * image.height) {
        std::fprintf(stderr, "marlet_png_fuzz: %ux%u picture with %zu pixels\n", image.width, image.height,
                     image.pixels.size());
        std::abort();
    }
    if (image.pixels.size() <= 65536) {
        const Template picture(image);
        const PixelView itself{reinterpret_cast<const std::uint8_t*>(image.pixels.data()), std::size_t{image.width} * 4,
                               image.width, image.height};
        const Point at = picture.FindFirst(itself, 0);
        if (at.x != 0 || at.y != 0) {
            std::fprintf(stderr, "marlet_png_fuzz: a picture not found in itself (%d,%d)\n", at.x, at.y);
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check(data, size);
    const std::vector<std::uint8_t> repaired = WithGoodCrcs(data, size);
    Check(repaired.data(), repaired.size());
    return 0;
}

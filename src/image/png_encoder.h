// PNG encoding of captured screen pixels: 8-bit RGB, no gamma or colour chunks, so every
// decoder gives back exactly the pixels. Plain logic: the framing is ours, the compression
// zlib's (behind this header). Buffers and compressors are kept between pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class PngEncoder {
   public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // Encodes `height` rows of `width` pixels, each pixel four bytes blue, green, red and one
    // unused (as a 32-bit top-down device-independent bitmap holds them), rows `stride` bytes
    // apart. The result stays valid until the next call; empty when zlib fails.
    std::span<const std::uint8_t> Encode(const std::uint8_t* pixels, std::size_t stride, std::uint32_t width,
                                         std::uint32_t height);

    // A growable byte buffer that never clears the room it adds (a full screen's worth of
    // zeros would cost more than filtering it).
    struct Buffer {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t capacity = 0;
        std::size_t size = 0;
        std::uint8_t* Room(std::size_t more);
    };

    // One compressor, with the filtered rows it is fed, and one slice of the picture's rows,
    // compressed on its own: zlib's state stays in the encoder's source file.
    struct Compressor;
    struct Slice;

   private:
    void Chunk(const char type[4], const std::uint8_t* data, std::size_t size);

    std::vector<std::unique_ptr<Compressor>> compressors_;
    std::vector<Slice> slices_;
    Buffer png_;
};

// The CRC-32 that PNG chunks end with, of `size` bytes (continuing `crc`).
std::uint32_t PngCrc(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

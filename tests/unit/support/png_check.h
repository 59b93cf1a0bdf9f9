// Test support: a small PNG reader written from the PNG standard (ISO/IEC 15948), with its own CRC, to
// check the encoder's output independently of the encoder (zlib only inflates).
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include <zlib.h>

namespace png_check {

struct Decoded {
    std::string error;  // empty when the file is a valid 8-bit RGB PNG
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::string> chunks;  // chunk types in order
    std::vector<std::uint8_t> rgb;    // width * height * 3
};

inline std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

inline std::uint32_t U32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p;
    const int pb = p > b ? p - b : b - p;
    const int pc = p > c ? p - c : c - p;
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

inline Decoded Decode(std::span<const std::uint8_t> file) {
    Decoded d;
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return d.error = "signature", d;
    std::vector<std::uint8_t> idat;
    std::size_t at = 8;
    while (at < file.size()) {
        if (file.size() - at < 12) return d.error = "truncated chunk", d;
        const std::uint32_t length = U32(&file[at]);
        if (length > file.size() - at - 12) return d.error = "chunk length", d;
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        if (Crc(&file[at + 4], 4 + length) != U32(&file[at + 8 + length])) return d.error = "CRC of " + type, d;
        d.chunks.push_back(type);
        const std::uint8_t* data = &file[at + 8];
        if (type == "IHDR") {
            if (length != 13) return d.error = "IHDR length", d;
            d.width = U32(data);
            d.height = U32(data + 4);
            if (data[8] != 8 || data[9] != 2 || data[10] != 0 || data[11] != 0 || data[12] != 0) {
                return d.error = "not 8-bit RGB, plain", d;
            }
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        } else if (type == "IEND") {
            if (at + 12 + length != file.size()) return d.error = "bytes after IEND", d;
        }
        at += 12 + length;
    }
    const std::size_t rowBytes = 1 + std::size_t{3} * d.width;
    std::vector<std::uint8_t> raw(rowBytes * d.height + 1);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, idat.data(), static_cast<uLong>(idat.size())) != Z_OK) {
        return d.error = "zlib stream", d;
    }
    if (rawSize != rowBytes * d.height) return d.error = "decompressed size", d;
    d.rgb.assign(std::size_t{3} * d.width * d.height, 0);
    for (std::uint32_t y = 0; y < d.height; ++y) {
        const std::uint8_t filter = raw[y * rowBytes];
        const std::uint8_t* in = &raw[y * rowBytes + 1];
        std::uint8_t* out = &d.rgb[std::size_t{3} * d.width * y];
        const std::uint8_t* up = y > 0 ? out - std::size_t{3} * d.width : nullptr;
        for (std::size_t i = 0; i < std::size_t{3} * d.width; ++i) {
            const int a = i >= 3 ? out[i - 3] : 0;
            const int b = up != nullptr ? up[i] : 0;
            const int c = (i >= 3 && up != nullptr) ? up[i - 3] : 0;
            int v = in[i];
            switch (filter) {
                case 0: break;
                case 1: v += a; break;
                case 2: v += b; break;
                case 3: v += (a + b) / 2; break;
                case 4: v += Paeth(a, b, c); break;
                default: return d.error = "filter type", d;
            }
            out[i] = static_cast<std::uint8_t>(v);
        }
    }
    return d;
}

}  // namespace png_check

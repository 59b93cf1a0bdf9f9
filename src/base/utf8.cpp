#include "base/utf8.h"

#include <cstdint>

std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    if (i >= text.size()) return 0;
    const std::uint8_t lead = byte(i);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    std::uint8_t low = 0x80;  // allowed range of the second byte
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const std::uint8_t b = byte(i + k);
        if (b < 0x80 || b > 0xBF) return 0;
        codePoint = (codePoint << 6) | (b & 0x3Fu);
    }
    return length;
}

// UTF-16 (the platform's wide text) to and from UTF-8 (ours). Plain logic: the unit type is
// whatever the platform's wide character is, each element holding one 16-bit unit.
#pragma once

#include "base/utf8.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends the UTF-8 form of one code point.
inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// UTF-8 of `count` UTF-16 units. A surrogate that is not half of a pair (which a window title
// or the clipboard may hold) becomes U+FFFD, so the result is always valid UTF-8.
template <typename Unit>
std::string Utf16ToUtf8(const Unit* units, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto u = static_cast<char32_t>(static_cast<std::uint16_t>(units[i]));
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count) {
            const auto next = static_cast<char32_t>(static_cast<std::uint16_t>(units[i + 1]));
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t{0xFFFD} : u);
    }
    return out;
}

// UTF-16 units of UTF-8 text, ended by a zero unit; each byte outside a well-formed sequence
// becomes U+FFFD.
template <typename Unit>
std::vector<Unit> Utf8ToUtf16(std::string_view text) {
    std::vector<Unit> out;
    out.reserve(text.size() + 1);
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        std::size_t length = DecodeUtf8(text, i, c);
        if (length == 0) {
            c = 0xFFFD;
            length = 1;
        }
        if (c >= 0x10000) {
            out.push_back(static_cast<Unit>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<Unit>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<Unit>(c));
        }
        i += length;
    }
    out.push_back(Unit{0});
    return out;
}

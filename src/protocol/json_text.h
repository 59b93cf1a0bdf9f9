// JSON string values from arbitrary bytes.
#pragma once

#include "base/utf8.h"

#include <cstdint>
#include <string_view>

// Hands `text` to `sink` (a callable taking string_view pieces) as the inside of a JSON string:
// quote, backslash and control bytes escaped, valid UTF-8 kept as it is, and each byte outside
// a valid UTF-8 sequence as \ufffd. Runs that need no escaping go out as single pieces.
template <typename Sink>
void WriteJsonText(Sink&& sink, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::size_t runStart = 0;
    std::size_t i = 0;
    const auto flushRun = [&] {
        if (i > runStart) sink(text.substr(runStart, i - runStart));
    };
    while (i < text.size()) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        if (c >= 0x80) {
            char32_t codePoint = 0;
            const std::size_t length = DecodeUtf8(text, i, codePoint);
            if (length > 0) {
                i += length;
                continue;
            }
            flushRun();
            sink("\\ufffd");
        } else if (c >= 0x20 && c != '"' && c != '\\') {
            ++i;
            continue;
        } else {
            flushRun();
            switch (c) {
                case '"': sink("\\\""); break;
                case '\\': sink("\\\\"); break;
                case '\b': sink("\\b"); break;
                case '\f': sink("\\f"); break;
                case '\n': sink("\\n"); break;
                case '\r': sink("\\r"); break;
                case '\t': sink("\\t"); break;
                default: {
                    const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
                    sink(std::string_view(escape, sizeof escape));
                }
            }
        }
        ++i;
        runStart = i;
    }
    flushRun();
}

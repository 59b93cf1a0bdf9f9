#include "protocol/json_string.h"

#include "base/utf16.h"
#include "base/utf8.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The four hex digits after "\u" at text[i] (the backslash); -1 when they are not there.
long ReadUnit(std::string_view text, std::size_t i) {
    if (i + 6 > text.size() || text[i + 1] != 'u') return -1;
    long unit = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        const int digit = HexValue(text[k]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

JsonString Wrong(std::string what, std::size_t offset) {
    JsonString result;
    result.error = std::move(what);
    result.offset = offset;
    return result;
}

}  // namespace

JsonString ReadJsonString(std::string_view text) {
    if (text.empty() || text[0] != '"') return Wrong("expected a quote", 0);
    JsonString result;
    std::size_t i = 1;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            result.ok = true;
            result.end = i + 1;
            return result;
        }
        if (c < 0x20) return Wrong("control character", i);
        if (c >= 0x80) {
            char32_t codePoint = 0;
            const std::size_t length = DecodeUtf8(text, i, codePoint);
            if (length == 0) return Wrong("invalid UTF-8", i);
            result.value.append(text.substr(i, length));
            i += length;
            continue;
        }
        if (c != '\\') {
            result.value.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) return Wrong("unfinished escape", i);
        const char e = text[i + 1];
        const char* simple = nullptr;
        switch (e) {
            case '"': simple = "\""; break;
            case '\\': simple = "\\"; break;
            case '/': simple = "/"; break;
            case 'b': simple = "\b"; break;
            case 'f': simple = "\f"; break;
            case 'n': simple = "\n"; break;
            case 'r': simple = "\r"; break;
            case 't': simple = "\t"; break;
            default: break;
        }
        if (simple != nullptr) {
            result.value += simple;
            i += 2;
            continue;
        }
        if (e != 'u') return Wrong(std::string("invalid escape \\") + e, i);
        const long unit = ReadUnit(text, i);
        if (unit < 0) return Wrong("invalid \\u escape", i);
        if (unit >= 0xDC00 && unit <= 0xDFFF) return Wrong("lone surrogate", i);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const long low = ReadUnit(text, i + 6);
            if (i + 6 >= text.size() || text[i + 6] != '\\' || low < 0xDC00 || low > 0xDFFF) {
                return Wrong("lone surrogate", i);
            }
            AppendUtf8(result.value, static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
            i += 12;
            continue;
        }
        AppendUtf8(result.value, static_cast<char32_t>(unit));
        i += 6;
    }
    return Wrong("missing closing quote", text.size());
}

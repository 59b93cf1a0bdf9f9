// The model's own UTF-8 and UTF-16 conversions. They are written here on purpose rather than
// taken from src/base/utf16.h: the model stays independent of the code it checks, so a fault in
// the program's conversion cannot hide behind the same fault in the desktop's.
#include "platform/simulated/shared.h"

#include <algorithm>
#include <vector>

namespace sim {

int CopyWide(const std::string& utf8, LPWSTR out, int size) {
    // UTF-8 to UTF-16 units, one unit per wchar_t here.
    std::vector<wchar_t> units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c = b;
        std::size_t n = 1;
        if (b >= 0xF0) {
            c = b & 0x07u;
            n = 4;
        } else if (b >= 0xE0) {
            c = b & 0x0Fu;
            n = 3;
        } else if (b >= 0xC0) {
            c = b & 0x1Fu;
            n = 2;
        }
        for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3Fu);
        if (c >= 0x10000) {
            units.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<wchar_t>(c));
        }
        i += n;
    }
    if (out == nullptr || size <= 0) return 0;
    const std::size_t n = std::min(units.size(), static_cast<std::size_t>(size - 1));
    std::copy(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(n), out);
    out[n] = 0;
    return static_cast<int>(n);
}

std::string FromWide(LPCWSTR text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        auto u = static_cast<char32_t>(*text & 0xFFFF);
        if (u >= 0xD800 && u <= 0xDBFF && text[1] != 0) {
            u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<char32_t>(text[1] & 0xFFFF) - 0xDC00);
            ++text;
        }
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else if (u < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (u >> 18)));
            out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

}  // namespace sim

#include "protocol/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

void EncodeBase64(const std::uint8_t* data, std::size_t size, char* out) {
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const std::uint32_t v = (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        *out++ = kAlphabet[v >> 18];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = kAlphabet[(v >> 6) & 63];
        *out++ = kAlphabet[v & 63];
    }
    if (i < size) {
        const bool two = i + 1 < size;
        const std::uint32_t v = (std::uint32_t{data[i]} << 16) | (two ? std::uint32_t{data[i + 1]} << 8 : 0);
        *out++ = kAlphabet[v >> 18];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = two ? kAlphabet[(v >> 6) & 63] : '=';
        *out++ = '=';
    }
}

void AssignBase64(std::string& out, const std::uint8_t* data, std::size_t size) {
    out.resize(Base64Length(size));
    EncodeBase64(data, size, out.data());
}

bool DecodeBase64(std::string_view text, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t end = text.size();
    if (end % 4 == 0 && end > 0 && text[end - 1] == '=') --end;
    if (end % 4 == 3 && end > 0 && text[end - 1] == '=' && text.size() % 4 == 0) --end;
    if (end % 4 == 1) return false;
    out.reserve(end / 4 * 3 + 2);
    std::uint32_t bits = 0;
    int count = 0;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = text[i];
        std::uint32_t v;
        if (c >= 'A' && c <= 'Z') {
            v = static_cast<std::uint32_t>(c - 'A');
        } else if (c >= 'a' && c <= 'z') {
            v = static_cast<std::uint32_t>(c - 'a' + 26);
        } else if (c >= '0' && c <= '9') {
            v = static_cast<std::uint32_t>(c - '0' + 52);
        } else if (c == '+') {
            v = 62;
        } else if (c == '/') {
            v = 63;
        } else {
            out.clear();
            return false;
        }
        bits = (bits << 6) | v;
        if (++count == 4) {
            out.push_back(static_cast<std::uint8_t>(bits >> 16));
            out.push_back(static_cast<std::uint8_t>(bits >> 8));
            out.push_back(static_cast<std::uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 2) {
        out.push_back(static_cast<std::uint8_t>(bits >> 4));
    } else if (count == 3) {
        out.push_back(static_cast<std::uint8_t>(bits >> 10));
        out.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
    return true;
}

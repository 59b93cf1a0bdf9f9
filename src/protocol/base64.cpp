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

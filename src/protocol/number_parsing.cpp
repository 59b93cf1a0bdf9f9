#include "protocol/number_parsing.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Skips whitespace and a sign; returns whether the sign was a minus.
bool SkipSpaceAndSign(std::string_view text, std::size_t& i) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return negative;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

}  // namespace

std::int32_t ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipSpaceAndSign(text, i);
    const std::size_t start = i;
    // Accumulate the magnitude; anything past 2^31 is out of range whatever follows.
    std::uint64_t magnitude = 0;
    bool tooLarge = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (!tooLarge) {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
            if (magnitude > 2147483648ULL) tooLarge = true;
        }
        ++i;
    }
    if (i == start) throw std::invalid_argument("invalid stoi argument");
    if (tooLarge || (!negative && magnitude > 2147483647ULL)) throw std::out_of_range("stoi argument out of range");
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                    : static_cast<std::int32_t>(magnitude);
}

std::uint64_t ParseHandle(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipSpaceAndSign(text, i);
    int base = 10;
    if (i < text.size() && text[i] == '0') {
        // "0x" counts as a prefix only when a hexadecimal digit follows; otherwise the 0 is
        // the number and the x is where it stops.
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    const std::size_t start = i;
    std::uint64_t value = 0;
    bool overflow = false;
    while (i < text.size() && DigitValue(text[i]) < base) {
        const auto digit = static_cast<std::uint64_t>(DigitValue(text[i]));
        if (value > (UINT64_MAX - digit) / static_cast<std::uint64_t>(base)) overflow = true;
        value = value * static_cast<std::uint64_t>(base) + digit;
        ++i;
    }
    if (i == start) throw std::invalid_argument("invalid stoull argument");
    if (overflow) throw std::out_of_range("stoull argument out of range");
    return negative ? (~value + 1) : value;
}

std::optional<Point> ReadCoords(std::string_view coords) {
    const std::size_t comma = coords.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const std::int32_t x = ParseDecimal(coords.substr(0, comma));
    const std::int32_t y = ParseDecimal(coords.substr(comma + 1));
    return Point{x, y};
}

bool IsRegionText(std::string_view text) {
    int parts = 1;
    bool digit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == ',') {
            if (!digit) return false;
            ++parts;
            digit = false;
        } else if ((c == '-' || c == '+') && (i == 0 || text[i - 1] == ',')) {
            continue;
        } else {
            return false;
        }
    }
    return parts == 4 && digit;
}

bool ReadRegion(std::string_view text, Rect& region) {
    std::int32_t values[4];
    for (std::int32_t& value : values) {
        const std::size_t comma = text.find(',');
        value = ParseDecimal(text.substr(0, comma));
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    if (values[2] <= 0 || values[3] <= 0) return false;
    const auto end = [](std::int32_t start, std::int32_t size) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{start} + size, INT32_MAX));
    };
    region = Rect{values[0], values[1], end(values[0], values[2]), end(values[1], values[3])};
    return true;
}

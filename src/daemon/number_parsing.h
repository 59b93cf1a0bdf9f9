// The number parsers of the command handlers. They throw standard exceptions with the texts a
// client sees after "Exception: ".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A signed 32-bit decimal after optional whitespace and sign; the rest of the text is ignored.
// Throws std::invalid_argument("invalid stoi argument") or std::out_of_range("stoi argument out of range").
std::int32_t ParseDecimal(std::string_view text);

// An unsigned 64-bit number in hexadecimal (0x), octal (leading 0) or decimal; a minus sign
// negates modulo 2^64. Throws std::invalid_argument("invalid stoull argument") or
// std::out_of_range("stoull argument out of range").
std::uint64_t ParseHandle(std::string_view text);

// A pixel position read from "X,Y".
struct Coords {
    std::int32_t x;
    std::int32_t y;
};

// X before the first comma and Y after it; empty when the text holds no comma.
std::optional<Coords> ReadCoords(std::string_view coords);

// The number parsers of the command handlers. They throw standard exceptions with the texts a
// client sees after "Exception: ".
#pragma once

#include "base/geometry.h"

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

// X before the first comma and Y after it ("X,Y"); empty when the text holds no comma.
std::optional<Point> ReadCoords(std::string_view coords);

// Whether the text is a region as "X,Y,W,H" writes it: four integers (each optionally signed)
// separated by commas, nothing else.
bool IsRegionText(std::string_view text);

// A region's rectangle from "X,Y,W,H" (IsRegionText's form), with W and H as given: right and
// bottom are X + W and Y + H, held at the largest 32-bit value where the sum goes beyond it.
// False when W or H is not above 0.
bool ReadRegion(std::string_view text, Rect& region);

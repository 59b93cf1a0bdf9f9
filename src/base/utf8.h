// UTF-8 decoding, byte-exact: what counts as one well-formed character.
#pragma once

#include <cstddef>
#include <string_view>

// Decodes the well-formed UTF-8 sequence that starts at text[i] into `codePoint` and returns its
// length (1 to 4), or 0 when there is none there (stray continuation byte, overlong form,
// surrogate, beyond U+10FFFF, or cut short).
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& codePoint);

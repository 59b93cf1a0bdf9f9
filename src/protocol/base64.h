// Base64 (RFC 4648, standard alphabet, padded) for binary data carried in a JSON string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The length of the base64 text of `size` bytes.
constexpr std::size_t Base64Length(std::size_t size) { return (size + 2) / 3 * 4; }

// Writes the base64 text of `size` bytes to `out`, which has room for Base64Length(size) bytes.
void EncodeBase64(const std::uint8_t* data, std::size_t size, char* out);

// Replaces `out` with the base64 text of `size` bytes, reusing its storage.
void AssignBase64(std::string& out, const std::uint8_t* data, std::size_t size);

// Decodes base64 text (padded or not) into `out`, replacing what it held; false, with `out`
// empty, when the text holds anything else, or padding anywhere but at its end.
bool DecodeBase64(std::string_view text, std::vector<std::uint8_t>& out);

// JSON string values from arbitrary bytes.
#pragma once

#include <string>
#include <string_view>

// Appends `text` to `out` as the inside of a JSON string: quote, backslash and control bytes
// escaped, valid UTF-8 kept as it is, and each byte outside a valid UTF-8 sequence as \ufffd.
void AppendJsonText(std::string& out, std::string_view text);

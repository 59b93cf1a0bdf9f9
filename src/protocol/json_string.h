// One JSON string literal (RFC 8259) read from a command line as written: the way a client
// passes text that the tokenizer could not carry (quotes, backslashes, spaces at either end,
// line breaks).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct JsonString {
    bool ok = false;
    std::string value;       // the text, UTF-8
    std::string error;       // what is wrong, when not ok
    std::size_t offset = 0;  // where it is wrong: the byte, counted from the opening quote
    std::size_t end = 0;     // on success: the byte after the closing quote
};

// Reads the literal that `text` starts with: a quote, characters (UTF-8, none below U+0020),
// escapes (\" \\ \/ \b \f \n \r \t \uXXXX, surrogates only in pairs), a closing quote. What
// follows the closing quote is left to the caller.
JsonString ReadJsonString(std::string_view text);

// Byte-wise text helpers every module shares: trimming and ASCII case folding.
#pragma once

#include <string>
#include <string_view>

// Strips spaces, tabs, carriage returns and line feeds from both ends of s.
void Trim(std::string& s);

// The part of s that Trim would keep.
std::string_view Trimmed(std::string_view s);

// Lowers the ASCII letters A to Z of s; every other byte is kept.
void LowerInPlace(std::string& s);

// A copy of s with the ASCII letters A to Z lowered; every other byte is kept.
std::string ToLower(std::string_view s);

// Byte-wise text operations that turn one input line into a command's arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Strips spaces, tabs, carriage returns and line feeds from both ends of s.
void Trim(std::string& s);

// The part of s that Trim would keep.
std::string_view Trimmed(std::string_view s);

// Lowers the ASCII letters A to Z of s; every other byte is kept.
void LowerInPlace(std::string& s);

// A copy of s with the ASCII letters A to Z lowered; every other byte is kept.
std::string ToLower(std::string_view s);

// Splits a line at unquoted spaces; double quotes group and are dropped unless a backslash
// precedes them. Never yields an empty argument.
std::vector<std::string> SplitArgs(std::string_view line);

// SplitArgs into `result`, replacing what it held (so that a caller can reuse its storage).
void SplitArgsInto(std::string_view line, std::vector<std::string>& result);

// Byte-wise text operations that turn one input line into a command's arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Strips spaces, tabs, carriage returns and line feeds from both ends of s.
void Trim(std::string& s);

// A copy of s with the ASCII letters A to Z lowered; every other byte is kept.
std::string ToLower(std::string_view s);

// Splits a line at unquoted spaces; double quotes group and are dropped unless a backslash
// precedes them. Never yields an empty argument.
std::vector<std::string> SplitArgs(std::string_view line);

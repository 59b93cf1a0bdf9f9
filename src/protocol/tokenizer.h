// Byte-wise text operations that turn one input line into a command's arguments.
#pragma once

#include "base/text.h"

#include <string>
#include <string_view>
#include <vector>

// Splits a line at unquoted spaces; double quotes group and are dropped unless a backslash
// precedes them. Never yields an empty argument.
std::vector<std::string> SplitArgs(std::string_view line);

// SplitArgs into `result`, replacing what it held (so that a caller can reuse its storage).
void SplitArgsInto(std::string_view line, std::vector<std::string>& result);

// Reading a file whole (the pictures clients name by path).
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The most bytes a file read whole may have.
inline constexpr std::uint64_t kMostFileBytes = std::uint64_t{256} << 20;

// Reads all of `path` (UTF-8) into `bytes`. Answers 0, or the Windows error code of the step that
// failed (ERROR_FILE_TOO_LARGE past kMostFileBytes).
DWORD ReadWholeFile(std::string_view path, std::vector<std::uint8_t>& bytes);

// Writing a file whole or not at all.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <span>
#include <string_view>

// Writes `bytes` to `path` (UTF-8) through a temporary file beside it that is then renamed over
// it, so a reader never sees part of the file and a failure leaves an earlier file as it was
// (the temporary file is removed). Answers 0, or the Windows error code of the step that failed.
DWORD WriteWholeFile(std::string_view path, std::span<const std::uint8_t> bytes);

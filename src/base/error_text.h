// The text of a Windows error code, as every failure message of an action ends.
#pragma once

#include <cstdint>
#include <string>

// The decimal digits of the error code given (it reads no error itself: the caller passes what
// GetLastError or a failed call answered), e.g. "5" for ERROR_ACCESS_DENIED.
inline std::string LastErrorText(std::uint32_t code) { return std::to_string(code); }

// The text of a Windows error code, as every failure message of an action ends.
#pragma once

#include <cstdint>
#include <string>

// The error code in decimal.
inline std::string LastErrorText(std::uint32_t code) { return std::to_string(code); }

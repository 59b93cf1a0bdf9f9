// Typing text into whatever window has the keyboard focus.
#pragma once

#include "base/action_result.h"

#include <cstdint>
#include <string_view>

// Types `text` one character per SendInput call: through the keyboard layout (with the Shift,
// Ctrl and Alt it asks for) where it has a key, else as Unicode characters decoded from UTF-8.
// Pauses `delayMs` before each character when it is above 0, and `intervalMs` between two
// characters (after each one but the last). Stops at the first batch the system does not take
// in full.
ActionResult TypeText(std::string_view text, std::int32_t delayMs, std::uint32_t intervalMs = 0);

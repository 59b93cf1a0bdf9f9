// Typing text into whatever window has the keyboard focus.
#pragma once

#include "base/action_result.h"

#include <cstdint>
#include <string>
#include <string_view>

// Types `text` one character per SendInput call: through the keyboard layout (with the Shift,
// Ctrl and Alt it asks for) where it has a key, else as Unicode characters decoded from UTF-8.
// Pauses `intervalMs` between two characters (after each one but the last). Stops at the first
// batch the system does not take in full.
ActionResult TypeText(std::string_view text, std::uint32_t intervalMs = 0);

// Text to type as a person types it: every line break (CR LF, LF or CR) one Enter, a tab the Tab
// key, and no other control character below U+0020 (those above are skipped as they are typed).
std::string TypingText(std::string_view text);

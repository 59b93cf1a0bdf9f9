// Key combinations such as ctrl+c or alt+f4.
#pragma once

#include "base/action_result.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The key codes a combination names, in order: virtual-key codes, with kExtendedName
// (key_names.h) on a name that needs the extended-key flag. Parts are separated by "+" or spaces and
// matched case-insensitively against the key names; a single character that is no key name
// comes from the keyboard layout with the modifiers it needs. Unknown parts are dropped.
std::vector<std::uint16_t> ParseKeyCombo(std::string_view combo);

// Presses the combination's keys in order and releases them in reverse, in one SendInput call,
// after a pause of `delayMs` when it is above 0.
ActionResult PressKeyCombo(std::string_view combo, std::int32_t delayMs);

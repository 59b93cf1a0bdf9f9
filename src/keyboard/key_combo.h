// Key combinations such as ctrl+c or alt+f4.
#pragma once

#include "base/action_result.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The key codes a combination names, in order: virtual-key codes, with kExtendedName
// (key_names.h) on a name that needs the extended-key flag. Parts are separated by "+" or spaces and
// matched case-insensitively against the key names; a single character that is no key name
// comes from the keyboard layout with the modifiers it needs. Unknown parts are dropped.
std::vector<std::uint16_t> ParseKeyCombo(std::string_view combo);

// Presses the combination's keys in order and releases them in reverse, in one SendInput call.
ActionResult PressKeyCombo(std::string_view combo);

// Sends the key-downs of `keys` (key codes as ParseKeyCombo gives them) in order, in one batch,
// and leaves them down. If the system takes only some, those are released again before the
// failure ("Key down failed: " and the code).
ActionResult HoldKeys(std::span<const std::uint16_t> keys);

// Sends the key-ups of `keys` in reverse order, in one batch, whether they are down or not.
ActionResult ReleaseKeys(std::span<const std::uint16_t> keys);

// Keyboard INPUT records and the clean-up after a batch the system took only in part.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <vector>

// A key-down or key-up record that names its key by scan code, with the extended-key flag
// where the key needs it.
INPUT ScanCodeRecord(std::uint16_t vkCode, std::uint16_t scanCode, bool up);

// A key-down or key-up record that carries one UTF-16 unit as a character.
INPUT UnicodeRecord(std::uint16_t unit, bool up);

// After SendInput took only the first `accepted` records of `batch`: sends, once and without
// checking the outcome, the key-up records of the batch that release keys pressed by the
// accepted part, in the batch's order.
void ReleaseHeldKeys(const std::vector<INPUT>& batch, UINT accepted);

// Letting go of keys and buttons held down, all in one batch.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <span>

// Sends, in one batch, the key-ups of `keys` (key codes as a combination names them, in the
// order they went down: released last first), then the ups of `buttons` (their down flags)
// wherever the pointer is. Whether the system takes them all is not checked: nothing else can be
// done about one it refuses at exit.
void ReleaseKeysAndButtons(std::span<const std::uint16_t> keys, std::span<const DWORD> buttons);

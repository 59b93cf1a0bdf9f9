// Keyboard INPUT records and the clean-up after a batch the system took only in part.
#pragma once

#include "platform/win32.h"

#include <array>
#include <cstdint>
#include <span>

// A key-down or key-up record that names its key by scan code, with the extended-key flag
// where the key needs it.
INPUT ScanCodeRecord(std::uint16_t vkCode, std::uint16_t scanCode, bool up);

// The record that presses or releases a key as a combination names it (a key code of KeyMap):
// by scan code, with the extended-key flag where the key or its name has it; Pause and Num Lock
// by virtual key, since no scan-code record can say Pause (E1 1D 45 on the keyboard) and the
// layout takes a scan-coded 0x45 for Num Lock.
INPUT KeyRecord(std::uint16_t keyCode, bool up);

// The key-up record of a key-down record (the same key, named the same way).
inline INPUT KeyUpOf(INPUT down) {
    down.ki.dwFlags |= KEYEVENTF_KEYUP;
    return down;
}

// A key-down or key-up record that carries one UTF-16 unit as a character.
INPUT UnicodeRecord(std::uint16_t unit, bool up);

// After SendInput took only the first `accepted` records of `batch`: sends, once and without
// checking the outcome, the key-up records of the batch that release keys pressed by the
// accepted part, in the batch's order.
void ReleaseHeldKeys(std::span<const INPUT> batch, UINT accepted);

// The records of one typed character, kept without allocating: at most a key and three
// modifiers, each down and up.
struct CharacterBatch {
    std::array<INPUT, 8> records;  // each record is zero-filled as it is added
    UINT size = 0;

    void Add(const INPUT& in) { records[size++] = in; }
    std::span<const INPUT> View() const { return {records.data(), size}; }
};

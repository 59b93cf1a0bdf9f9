#include "pointer/held_release.h"

#include "keyboard/key_records.h"
#include "pointer/mouse_records.h"

#include <vector>

void ReleaseKeysAndButtons(std::span<const std::uint16_t> keys, std::span<const DWORD> buttons) {
    std::vector<INPUT> batch;
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) batch.push_back(KeyRecord(*key, true));
    // The up flag of a button is its down flag shifted once; no position: where it is.
    for (const DWORD down : buttons) batch.push_back(MouseRecord(0, 0, 0, (down << 1) | kAbsoluteFlags));
    if (!batch.empty()) SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
}

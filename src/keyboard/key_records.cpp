#include "keyboard/key_records.h"

#include "keyboard/key_names.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

namespace {

// Which key a record presses or releases.
std::tuple<WORD, WORD, DWORD> KeyOf(const KEYBDINPUT& ki) {
    return {ki.wVk, ki.wScan, ki.dwFlags & ~static_cast<DWORD>(KEYEVENTF_KEYUP)};
}

INPUT KeyboardRecord(WORD vk, WORD scan, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    return in;
}

}  // namespace

INPUT ScanCodeRecord(std::uint16_t vkCode, std::uint16_t scanCode, bool up) {
    DWORD flags = KEYEVENTF_SCANCODE;
    if (IsExtendedKey(vkCode)) flags |= KEYEVENTF_EXTENDEDKEY;
    if (up) flags |= KEYEVENTF_KEYUP;
    return KeyboardRecord(vkCode, scanCode, flags);
}

INPUT KeyRecord(std::uint16_t keyCode, bool up) {
    const auto vk = static_cast<WORD>(keyCode & 0xFF);
    const DWORD upFlag = up ? KEYEVENTF_KEYUP : 0;
    constexpr WORD kPauseScan = 0x45;
    if (vk == VK_PAUSE) return KeyboardRecord(VK_PAUSE, kPauseScan, upFlag);
    if (vk == VK_NUMLOCK) return KeyboardRecord(VK_NUMLOCK, kPauseScan, KEYEVENTF_EXTENDEDKEY | upFlag);
    INPUT in = ScanCodeRecord(vk, static_cast<std::uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), up);
    if (keyCode & kExtendedName) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return in;
}

INPUT UnicodeRecord(std::uint16_t unit, bool up) {
    return KeyboardRecord(0, unit, KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0));
}

void ReleaseHeldKeys(std::span<const INPUT> batch, UINT accepted) {
    const std::size_t taken = std::min<std::size_t>(accepted, batch.size());
    std::map<std::tuple<WORD, WORD, DWORD>, int> down;
    for (std::size_t i = 0; i < taken; ++i) {
        const KEYBDINPUT& ki = batch[i].ki;
        down[KeyOf(ki)] += (ki.dwFlags & KEYEVENTF_KEYUP) ? -1 : 1;
    }
    std::vector<INPUT> releases;
    for (std::size_t i = taken; i < batch.size(); ++i) {
        const KEYBDINPUT& ki = batch[i].ki;
        if (!(ki.dwFlags & KEYEVENTF_KEYUP)) continue;
        auto held = down.find(KeyOf(ki));
        if (held == down.end() || held->second <= 0) continue;
        --held->second;
        releases.push_back(batch[i]);
    }
    if (!releases.empty()) SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
}

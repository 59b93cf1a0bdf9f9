#include "keyboard/key_combo.h"

#include "daemon/tokenizer.h"
#include "keyboard/key_names.h"
#include "keyboard/key_records.h"
#include "platform/win32.h"
#include "pointer/coordinate_mapping.h"

#include <string>

namespace {

std::vector<std::string> SplitParts(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // The keypad plus key: "num+" keeps its plus when the part ends right after it.
        if (c == '+' && ToLower(current) == "num") {
            const bool partEnds = i + 1 == text.size() || text[i + 1] == ' ' || text[i + 1] == '+';
            if (partEnds) {
                current.push_back(c);
                continue;
            }
        }
        if (c == '+' || c == ' ') {
            if (!current.empty()) {
                parts.push_back(std::move(current));
                current.clear();
            }
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

}  // namespace

std::vector<std::uint16_t> ParseKeyCombo(std::string_view combo) {
    std::vector<std::uint16_t> result;
    std::string text(combo);
    Trim(text);
    if (text.empty()) return result;
    const auto& keyMap = KeyMap();
    for (const std::string& part : SplitParts(text)) {
        const std::string lower = ToLower(part);
        if (const auto found = keyMap.find(lower); found != keyMap.end()) {
            result.push_back(found->second);
            continue;
        }
        if (lower.size() != 1) continue;
        const SHORT scan = VkKeyScanA(lower[0]);
        if (scan == -1) continue;
        const auto value = static_cast<std::uint16_t>(scan);
        const unsigned shiftState = value >> 8;
        if (shiftState & 0x01) result.push_back(VK_SHIFT);
        if (shiftState & 0x02) result.push_back(VK_CONTROL);
        if (shiftState & 0x04) result.push_back(VK_MENU);
        result.push_back(static_cast<std::uint16_t>(value & 0xFF));
    }
    return result;
}

ActionResult PressKeyCombo(std::string_view combo, std::int32_t delayMs) {
    const std::vector<std::uint16_t> keys = ParseKeyCombo(combo);
    if (keys.empty()) return Failed("Invalid key combo: " + std::string(combo));
    std::vector<INPUT> inputs;
    inputs.reserve(2 * keys.size());
    for (const std::uint16_t vk : keys) {
        inputs.push_back(ScanCodeRecord(vk, static_cast<std::uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), false));
    }
    for (auto vk = keys.rbegin(); vk != keys.rend(); ++vk) {
        inputs.push_back(ScanCodeRecord(*vk, static_cast<std::uint16_t>(MapVirtualKeyW(*vk, MAPVK_VK_TO_VSC)), true));
    }
    if (delayMs > 0) Sleep(static_cast<DWORD>(delayMs));
    const auto total = static_cast<UINT>(inputs.size());
    const UINT sent = SendInput(total, inputs.data(), sizeof(INPUT));
    if (sent == total) return Succeeded(sent);
    const DWORD code = GetLastError();
    ReleaseHeldKeys(inputs, sent);
    return Failed("Key combo failed: " + LastErrorText(code), sent);
}

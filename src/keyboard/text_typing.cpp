#include "keyboard/text_typing.h"

#include "daemon/utf8.h"
#include "keyboard/key_records.h"
#include "platform/win32.h"
#include "pointer/coordinate_mapping.h"

#include <string>
#include <vector>

namespace {

struct Modifier {
    unsigned bit;
    WORD vk;
};

// Down in this order, up in the reverse.
constexpr Modifier kModifiers[] = {{0x01, VK_SHIFT}, {0x02, VK_CONTROL}, {0x04, VK_MENU}};

WORD ModifierScan(WORD vk) { return static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)); }

// The records of one character the layout has a key for.
std::vector<INPUT> LayoutBatch(std::uint16_t value) {
    const auto vk = static_cast<WORD>(value & 0xFF);
    const unsigned shiftState = value >> 8;
    std::vector<INPUT> inputs;
    for (const Modifier& m : kModifiers) {
        if (shiftState & m.bit) inputs.push_back(ScanCodeRecord(m.vk, ModifierScan(m.vk), false));
    }
    const auto scan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    inputs.push_back(ScanCodeRecord(vk, scan, false));
    inputs.push_back(ScanCodeRecord(vk, scan, true));
    for (auto m = std::rbegin(kModifiers); m != std::rend(kModifiers); ++m) {
        if (shiftState & m->bit) inputs.push_back(ScanCodeRecord(m->vk, ModifierScan(m->vk), true));
    }
    return inputs;
}

// The records of one character sent as itself: a down and an up for each UTF-16 unit.
std::vector<INPUT> UnicodeBatch(char32_t codePoint) {
    std::vector<std::uint16_t> units;
    if (codePoint >= 0x10000) {
        const char32_t v = codePoint - 0x10000;
        units.push_back(static_cast<std::uint16_t>(0xD800 + (v >> 10)));
        units.push_back(static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
    } else {
        units.push_back(static_cast<std::uint16_t>(codePoint));
    }
    std::vector<INPUT> inputs;
    for (const std::uint16_t unit : units) {
        inputs.push_back(UnicodeRecord(unit, false));
        inputs.push_back(UnicodeRecord(unit, true));
    }
    return inputs;
}

bool IsControl(char32_t codePoint) { return codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint < 0xA0); }

}  // namespace

ActionResult TypeText(std::string_view text, std::int32_t delayMs) {
    std::uint32_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::vector<INPUT> inputs;
        const SHORT value = VkKeyScanA(text[i]);
        if (value != -1) {
            inputs = LayoutBatch(static_cast<std::uint16_t>(value));
            ++i;
        } else {
            // No key on this layout: send the whole UTF-8 character as itself.
            char32_t codePoint = 0;
            const std::size_t length = DecodeUtf8(text, i, codePoint);
            if (length == 0 || IsControl(codePoint)) {
                ++i;
                continue;
            }
            inputs = UnicodeBatch(codePoint);
            i += length;
        }
        if (delayMs > 0) Sleep(static_cast<DWORD>(delayMs));
        const auto total = static_cast<UINT>(inputs.size());
        const UINT sent = SendInput(total, inputs.data(), sizeof(INPUT));
        if (sent != total) {
            const DWORD code = GetLastError();
            ReleaseHeldKeys(inputs, sent);
            return Failed("Type failed: " + LastErrorText(code), count);
        }
        count += sent;
    }
    return Succeeded(count);
}

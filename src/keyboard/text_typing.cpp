#include "keyboard/text_typing.h"

#include "base/error_text.h"
#include "base/utf8.h"
#include "keyboard/key_records.h"
#include "keyboard/lock_state.h"
#include "platform/win32.h"

#include <string>

namespace {

struct Modifier {
    unsigned bit;
    WORD vk;
};

// Down in this order, up in the reverse.
constexpr Modifier kModifiers[] = {{0x01, VK_SHIFT}, {0x02, VK_CONTROL}, {0x04, VK_MENU}};

WORD ModifierScan(WORD vk) { return static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)); }

// Adds the records of one character the layout has a key for. (Batches are filled in place:
// copying one is copying 320 bytes.)
void AddLayoutRecords(CharacterBatch& inputs, std::uint16_t value) {
    const auto vk = static_cast<WORD>(value & 0xFF);
    const unsigned shiftState = value >> 8;
    for (const Modifier& m : kModifiers) {
        if (shiftState & m.bit) inputs.Add(ScanCodeRecord(m.vk, ModifierScan(m.vk), false));
    }
    const auto scan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    inputs.Add(ScanCodeRecord(vk, scan, false));
    inputs.Add(ScanCodeRecord(vk, scan, true));
    for (auto m = std::rbegin(kModifiers); m != std::rend(kModifiers); ++m) {
        if (shiftState & m->bit) inputs.Add(ScanCodeRecord(m->vk, ModifierScan(m->vk), true));
    }
}

// Adds the records of one character sent as itself: a down and an up for each UTF-16 unit.
void AddUnicodeRecords(CharacterBatch& inputs, char32_t codePoint) {
    const auto add = [&inputs](char32_t unit) {
        inputs.Add(UnicodeRecord(static_cast<std::uint16_t>(unit), false));
        inputs.Add(UnicodeRecord(static_cast<std::uint16_t>(unit), true));
    };
    if (codePoint >= 0x10000) {
        const char32_t v = codePoint - 0x10000;
        add(0xD800 + (v >> 10));
        add(0xDC00 + (v & 0x3FF));
    } else {
        add(codePoint);
    }
}

// The layout entry to type `ch` with while Caps Lock is on: the lock swaps the case of the letters
// it affects, so they take the opposite Shift. A letter is affected when the layout types its
// other case with the same key and the other Shift.
std::uint16_t UnderCapsLock(char ch, std::uint16_t value) {
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    if (!letter) return value;
    const auto other = static_cast<std::uint16_t>(VkKeyScanA(static_cast<char>(ch ^ 0x20)));
    if (other != (value ^ 0x0100)) return value;
    return static_cast<std::uint16_t>(value ^ 0x0100);
}

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || codePoint == 0x7F || (codePoint >= 0x80 && codePoint < 0xA0);
}

}  // namespace

std::string TypingText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            out.push_back('\r');
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\t' || c >= 0x20) {
            // C1 controls (U+0080 to U+009F) are skipped where they are typed.
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

ActionResult TypeText(std::string_view text, std::uint32_t intervalMs) {
    std::uint32_t count = 0;
    std::size_t i = 0;
    // Nothing typed here toggles a lock, so one look serves the whole text.
    const bool capsLock = !text.empty() && CapsLockOn();
    bool firstBatch = true;
    while (i < text.size()) {
        CharacterBatch inputs;
        const SHORT value = VkKeyScanA(text[i]);
        if (value != -1) {
            const auto entry = static_cast<std::uint16_t>(value);
            AddLayoutRecords(inputs, capsLock ? UnderCapsLock(text[i], entry) : entry);
            ++i;
        } else {
            // No key on this layout: send the whole UTF-8 character as itself.
            char32_t codePoint = 0;
            const std::size_t length = DecodeUtf8(text, i, codePoint);
            if (length == 0 || IsControl(codePoint)) {
                ++i;
                continue;
            }
            AddUnicodeRecords(inputs, codePoint);
            i += length;
        }
        if (intervalMs > 0 && !firstBatch) Sleep(intervalMs);
        firstBatch = false;
        const UINT sent = SendInput(inputs.size, inputs.records.data(), sizeof(INPUT));
        if (sent != inputs.size) {
            const DWORD code = GetLastError();
            ReleaseHeldKeys(inputs.View(), sent);
            return Failed("Type failed: " + LastErrorText(code), count);
        }
        count += sent;
    }
    return Succeeded(count);
}

#include "keyboard/key_combo.h"

#include "base/error_text.h"
#include "base/text.h"
#include "keyboard/key_names.h"
#include "keyboard/key_records.h"
#include "platform/win32.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsNum(std::string_view part) {
    return part.size() == 3 && (part[0] | 0x20) == 'n' && (part[1] | 0x20) == 'u' && (part[2] | 0x20) == 'm';
}

// Calls `visit` with each part of the (trimmed) text: runs between "+" and space separators,
// except that "num" keeps a "+" that ends the part, naming the keypad plus key.
template <typename Visit>
void ForEachPart(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool atEnd = i == text.size();
        if (!atEnd && text[i] != '+' && text[i] != ' ') continue;
        if (!atEnd && text[i] == '+' && IsNum(text.substr(start, i - start))) {
            const bool partEnds = i + 1 == text.size() || text[i + 1] == ' ' || text[i + 1] == '+';
            if (partEnds) {
                visit(text.substr(start, i + 1 - start));
                start = i + 2;  // the separator after the plus is consumed with it
                ++i;
                continue;
            }
        }
        if (i > start) visit(text.substr(start, i - start));
        start = i + 1;
    }
}

// A list that keeps its first N items in place and only goes to the heap beyond them: a usual
// combination is pressed without allocating.
template <typename T, std::size_t N>
class SmallList {
   public:
    void push_back(const T& item) {
        if (size_ < N) {
            local_[size_] = item;
        } else {
            if (size_ == N) heap_.assign(local_.begin(), local_.end());
            heap_.push_back(item);
        }
        ++size_;
    }
    const T* data() const { return size_ <= N ? local_.data() : heap_.data(); }
    T* data() { return size_ <= N ? local_.data() : heap_.data(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size_; }

   private:
    std::array<T, N> local_;
    std::vector<T> heap_;
    std::size_t size_ = 0;
};

template <typename Keys>
void Resolve(std::string_view part, Keys& result) {
    if (part.size() > kLongestKeyName) return;  // no name is this long, and it is no single byte
    char lowered[kLongestKeyName];
    for (std::size_t k = 0; k < part.size(); ++k) {
        const char c = part[k];
        lowered[k] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view lower(lowered, part.size());
    const auto& keyMap = KeyMap();
    if (const auto found = keyMap.find(lower); found != keyMap.end()) {
        result.push_back(found->second);
        return;
    }
    if (lower.size() != 1) return;
    const SHORT scan = VkKeyScanA(lower[0]);
    if (scan == -1) return;
    const auto value = static_cast<std::uint16_t>(scan);
    const unsigned shiftState = value >> 8;
    if (shiftState & 0x01) result.push_back(VK_SHIFT);
    if (shiftState & 0x02) result.push_back(VK_CONTROL);
    if (shiftState & 0x04) result.push_back(VK_MENU);
    result.push_back(static_cast<std::uint16_t>(value & 0xFF));
}

template <typename Keys>
void ParseInto(std::string_view combo, Keys& result) {
    const std::string_view text = Trimmed(combo);
    if (text.empty()) return;
    ForEachPart(text, [&result](std::string_view part) { Resolve(part, result); });
}

}  // namespace

std::vector<std::uint16_t> ParseKeyCombo(std::string_view combo) {
    std::vector<std::uint16_t> result;
    ParseInto(combo, result);
    return result;
}

ActionResult PressKeyCombo(std::string_view combo) {
    SmallList<std::uint16_t, 8> keys;
    ParseInto(combo, keys);
    if (keys.empty()) return Failed("Invalid key combo: " + std::string(combo));
    // The downs in order, then their ups in reverse: each key's scan code is looked up once.
    SmallList<INPUT, 16> inputs;
    for (const std::uint16_t key : keys) inputs.push_back(KeyRecord(key, false));
    const std::size_t downs = inputs.size();
    for (std::size_t i = downs; i-- > 0;) inputs.push_back(KeyUpOf(inputs.data()[i]));
    const auto total = static_cast<UINT>(inputs.size());
    const UINT sent = SendInput(total, inputs.data(), sizeof(INPUT));
    if (sent == total) return Succeeded(sent);
    const DWORD code = GetLastError();
    ReleaseHeldKeys(std::span<const INPUT>(inputs.data(), inputs.size()), sent);
    return Failed("Key combo failed: " + LastErrorText(code), sent);
}

ActionResult HoldKeys(std::span<const std::uint16_t> keys) {
    std::vector<INPUT> inputs;
    for (const std::uint16_t key : keys) inputs.push_back(KeyRecord(key, false));
    const auto total = static_cast<UINT>(inputs.size());
    const UINT sent = SendInput(total, inputs.data(), sizeof(INPUT));
    if (sent == total) return Succeeded(sent);
    const DWORD code = GetLastError();
    // The keys that went down come up again, the last first: nothing stays held.
    std::vector<INPUT> releases;
    for (UINT i = std::min(sent, total); i-- > 0;) releases.push_back(KeyRecord(keys[i], true));
    if (!releases.empty()) SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    return Failed("Key down failed: " + LastErrorText(code), sent);
}

ActionResult ReleaseKeys(std::span<const std::uint16_t> keys) {
    std::vector<INPUT> inputs;
    for (std::size_t i = keys.size(); i-- > 0;) inputs.push_back(KeyRecord(keys[i], true));
    const auto total = static_cast<UINT>(inputs.size());
    const UINT sent = SendInput(total, inputs.data(), sizeof(INPUT));
    if (sent == total) return Succeeded(sent);
    return Failed("Key up failed: " + LastErrorText(GetLastError()), sent);
}

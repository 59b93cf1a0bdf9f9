#include "daemon/held_inputs.h"

#include "keyboard/key_names.h"
#include "keyboard/key_records.h"
#include "pointer/mouse_records.h"

#include <algorithm>
#include <cstdio>

namespace {

// The shortest name a key goes by ("ctrl" rather than "control"), for people to read.
std::string KeyName(std::uint16_t key) {
    std::string best;
    for (const auto& [name, code] : KeyMap()) {
        if (code == key && (best.empty() || name.size() < best.size() || (name.size() == best.size() && name < best))) {
            best = name;
        }
    }
    if (!best.empty()) return best;
    char text[16];
    std::snprintf(text, sizeof text, "vk 0x%02x", static_cast<unsigned>(key & 0xFF));
    return text;
}

}  // namespace

void HeldInputs::KeysDown(std::span<const std::uint16_t> keys) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const std::uint16_t key : keys) {
        if (std::find(keys_.begin(), keys_.end(), key) == keys_.end()) keys_.push_back(key);
    }
    Count();
}

void HeldInputs::KeysUp(std::span<const std::uint16_t> keys) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const std::uint16_t key : keys) keys_.erase(std::remove(keys_.begin(), keys_.end(), key), keys_.end());
    Count();
}

void HeldInputs::ButtonDown(DWORD downFlag) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(buttons_.begin(), buttons_.end(), downFlag) == buttons_.end()) buttons_.push_back(downFlag);
    Count();
}

void HeldInputs::ButtonUp(DWORD downFlag) {
    const std::lock_guard<std::mutex> lock(mutex_);
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), downFlag), buttons_.end());
    Count();
}

std::string HeldInputs::ReleaseAll() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (keys_.empty() && buttons_.empty()) return std::string();
    std::vector<INPUT> batch;
    std::string released;
    for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) {
        batch.push_back(KeyRecord(*key, true));
        released += (released.empty() ? "" : ", ") + KeyName(*key);
    }
    for (const DWORD down : buttons_) {
        // The up flag of a button is its down flag shifted once; no position: where it is.
        batch.push_back(MouseRecord(0, 0, 0, (down << 1) | kAbsoluteFlags));
        released += (released.empty() ? "" : ", ") + std::string(ButtonName(down)) + " button";
    }
    SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
    keys_.clear();
    buttons_.clear();
    Count();
    return released;
}

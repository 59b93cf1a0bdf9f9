#include "daemon/held_inputs.h"

#include "keyboard/key_names.h"
#include "pointer/held_release.h"
#include "pointer/mouse_records.h"

#include <algorithm>

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
    std::string released;
    for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) {
        released += (released.empty() ? "" : ", ") + ShortestKeyName(*key);
    }
    for (const DWORD down : buttons_) {
        released += (released.empty() ? "" : ", ") + std::string(ButtonName(down)) + " button";
    }
    ReleaseKeysAndButtons(keys_, buttons_);
    keys_.clear();
    buttons_.clear();
    Count();
    return released;
}

// The keys and buttons a client put down with `down` and `mousedown` and has not let go: the
// one piece of the daemon's state that outlives a command. Whatever is still held when the
// daemon ends is released, in one batch.
#pragma once

#include "platform/win32.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

class HeldInputs {
   public:
    // Keys (key codes as a combination names them) that went down, in order.
    void KeysDown(std::span<const std::uint16_t> keys);
    // Keys that came up (pressed and released, or released): no longer held.
    void KeysUp(std::span<const std::uint16_t> keys);
    // A button (its down flag) that went down, or came up.
    void ButtonDown(DWORD downFlag);
    void ButtonUp(DWORD downFlag);

    // Whether nothing is held; no lock taken (a command asks before every key it presses).
    bool Empty() const { return count_.load(std::memory_order_acquire) == 0; }

    // Releases everything held in one batch (keys in the reverse of the order they went down,
    // then the buttons, where the pointer is), forgets it, and answers what was released as a
    // person reads it ("ctrl, shift, left button"); empty when nothing was held. Safe to call
    // from another thread (a console control handler) while commands run.
    std::string ReleaseAll();

   private:
    mutable std::mutex mutex_;
    std::vector<std::uint16_t> keys_;
    std::vector<DWORD> buttons_;
    std::atomic<std::size_t> count_{0};  // keys_.size() + buttons_.size(), kept under the lock

    void Count() { count_.store(keys_.size() + buttons_.size(), std::memory_order_release); }
};

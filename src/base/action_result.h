// The outcome of one input action, as the command handlers turn it into a response line.
#pragma once

#include <cstdint>
#include <string>

struct ActionResult {
    bool success = false;
    std::string message;      // empty on success; the failure text otherwise
    std::uint32_t count = 0;  // input events the system accepted for the action
};

// A successful action that had `count` events accepted.
inline ActionResult Succeeded(std::uint32_t count) { return ActionResult{true, std::string(), count}; }

// A failed action with its message and the count the action reports with it.
inline ActionResult Failed(std::string message, std::uint32_t count = 0) {
    return ActionResult{false, std::move(message), count};
}

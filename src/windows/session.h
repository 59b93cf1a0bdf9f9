// The session and desktop marlet runs in, and whether its input reaches a user.
#pragma once

#include <cstdint>
#include <string>

// Where marlet's input goes.
struct SessionInfo {
    std::uint32_t session;
    std::string desktop;  // the input desktop's name; empty when it cannot be opened
    bool interactive;     // a user's session and its Default desktop: input reaches someone
};

SessionInfo ReadSession();

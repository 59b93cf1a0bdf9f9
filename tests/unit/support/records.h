// Test support: compact views of the INPUT records the simulated desktop received.
#pragma once

#include "platform/simulated/desktop.h"

#include <cstdio>
#include <string>
#include <vector>

// "type dx dy mouseData flags" of a mouse record; time and extra info must be zero, or it says so.
inline std::string Describe(const INPUT& in) {
    char text[96];
    if (in.type == INPUT_MOUSE) {
        std::snprintf(text, sizeof text, "mouse %d %d %d 0x%04X", static_cast<int>(in.mi.dx),
                      static_cast<int>(in.mi.dy), static_cast<int>(in.mi.mouseData),
                      static_cast<unsigned>(in.mi.dwFlags));
        if (in.mi.time != 0 || in.mi.dwExtraInfo != 0) return std::string(text) + " (time/extra set)";
    } else if (in.type == INPUT_KEYBOARD) {
        std::snprintf(text, sizeof text, "key 0x%02X 0x%02X 0x%04X", static_cast<unsigned>(in.ki.wVk),
                      static_cast<unsigned>(in.ki.wScan), static_cast<unsigned>(in.ki.dwFlags));
        if (in.ki.time != 0 || in.ki.dwExtraInfo != 0) return std::string(text) + " (time/extra set)";
    } else {
        std::snprintf(text, sizeof text, "type %u", static_cast<unsigned>(in.type));
    }
    return text;
}

// Every SendInput call, one inner list per call.
inline std::vector<std::vector<std::string>> Batches() {
    std::vector<std::vector<std::string>> all;
    for (const auto& batch : sim::State().batches) {
        std::vector<std::string> described;
        for (const INPUT& in : batch) described.push_back(Describe(in));
        all.push_back(described);
    }
    return all;
}

// The pieces every pointer action builds its input from: buttons by name, mouse records, and
// records that carry their own position.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Absolute positions are mapped over the whole virtual screen, not just the primary monitor.
inline constexpr DWORD kAbsoluteFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;

// A button's down and up flags.
struct ButtonFlags {
    DWORD down;
    DWORD up;
};

// The button a name means ("left", "l", "primary", "right", "r", "secondary", "middle", "m",
// any case), or nothing.
std::optional<ButtonFlags> FindButton(std::string_view name);

// The name the button of these flags goes by ("left", "right", "middle").
std::string_view ButtonName(DWORD downFlag);

// One zero-filled mouse record.
INPUT MouseRecord(LONG dx, LONG dy, DWORD mouseData, DWORD flags);

// The position part of button and wheel records. With a position they carry it themselves, as
// a move: the system otherwise applies them wherever the pointer is when it processes them,
// which may no longer be where the move before them put it (the user's hand, or a move the
// system applies late). Without one they stay where the pointer is.
struct RecordPosition {
    LONG dx = 0;
    LONG dy = 0;
    DWORD flags = 0;
};

// Fills `at` for the pixel (x, y) when `hasPosition`; false when the screen has no size to map
// onto.
bool PositionRecords(std::int32_t x, std::int32_t y, bool hasPosition, RecordPosition& at);

// A failure message: the prefix, then the error code.
std::string Failure(std::string_view prefix, DWORD code);

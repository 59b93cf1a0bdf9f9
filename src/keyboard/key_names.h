// The names a key combination may use, and how each key is sent.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

// Lower-case key name to virtual-key code; built on first use, read-only afterwards.
const std::unordered_map<std::string, std::uint16_t>& KeyMap();

// Whether the key is one of the extended keys, which the platform tells from their keypad
// namesakes only by the extended-key flag (arrows, Insert, Delete, Home, End, Page Up/Down, the
// right Ctrl and Alt, the Windows and menu keys, keypad divide, Num Lock, Break).
bool IsExtendedKey(std::uint16_t vkCode);

// The names a key combination may use, and how each key is sent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

// Hashes names given as std::string or std::string_view alike, so lookups need no copy. Key names
// are a few bytes: FNV-1a over them costs a fraction of the general string hash.
struct KeyNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
        std::uint64_t hash = 14695981039346656037ULL;
        for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        return static_cast<std::size_t>(hash);
    }
};

using KeyNameMap = std::unordered_map<std::string, std::uint16_t, KeyNameHash, std::equal_to<>>;

// Set above the virtual-key code of a key whose name calls for the extended-key flag although
// its virtual key does not: the keypad Enter shares VK_RETURN with the main one.
inline constexpr std::uint16_t kExtendedName = 0x100;

// Lower-case key name to key code (the virtual-key code, with kExtendedName where the name
// needs it); built on first use, read-only afterwards.
const KeyNameMap& KeyMap();

// The longest key name, in bytes: a longer part cannot name a key.
inline constexpr std::size_t kLongestKeyName = 11;

// The shortest name a key code goes by ("ctrl" rather than "control"; the first in byte order
// among names as short), for people to read; "vk 0x.." for a key without a name.
std::string ShortestKeyName(std::uint16_t key);

// Whether the key is one of the extended keys, which the platform tells from their keypad
// namesakes only by the extended-key flag (arrows, Insert, Delete, Home, End, Page Up/Down, the
// right Ctrl and Alt, the Windows and menu keys, keypad divide, Num Lock, Break).
bool IsExtendedKey(std::uint16_t vkCode);

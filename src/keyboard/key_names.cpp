#include "keyboard/key_names.h"

#include "platform/win32.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

KeyNameMap BuildKeyMap() {
    KeyNameMap map;
    for (char c = 'a'; c <= 'z'; ++c) map[std::string(1, c)] = static_cast<std::uint16_t>(0x41 + (c - 'a'));
    for (char c = '0'; c <= '9'; ++c) map[std::string(1, c)] = static_cast<std::uint16_t>(0x30 + (c - '0'));
    // append, not operator+ on a literal: GCC 12 warns falsely (-Wrestrict) on the latter.
    for (int f = 1; f <= 24; ++f)
        map[std::string("f").append(std::to_string(f))] = static_cast<std::uint16_t>(VK_F1 + f - 1);
    for (int n = 0; n <= 9; ++n) {
        map[std::string("num").append(std::to_string(n))] = static_cast<std::uint16_t>(VK_NUMPAD0 + n);
    }
    const std::pair<const char*, std::uint16_t> named[] = {
        {"enter", VK_RETURN},
        {"return", VK_RETURN},
        {"tab", VK_TAB},
        {"backspace", VK_BACK},
        {"bksp", VK_BACK},
        {"bs", VK_BACK},
        {"delete", VK_DELETE},
        {"del", VK_DELETE},
        {"escape", VK_ESCAPE},
        {"esc", VK_ESCAPE},
        {"space", VK_SPACE},
        {"spc", VK_SPACE},
        {"up", VK_UP},
        {"down", VK_DOWN},
        {"left", VK_LEFT},
        {"right", VK_RIGHT},
        {"home", VK_HOME},
        {"end", VK_END},
        {"pageup", VK_PRIOR},
        {"pgup", VK_PRIOR},
        {"pagedown", VK_NEXT},
        {"pgdn", VK_NEXT},
        {"pgdown", VK_NEXT},
        {"insert", VK_INSERT},
        {"ins", VK_INSERT},
        {"ctrl", VK_CONTROL},
        {"control", VK_CONTROL},
        {"shift", VK_SHIFT},
        {"alt", VK_MENU},
        {"win", VK_LWIN},
        {"windows", VK_LWIN},
        {"super", VK_LWIN},
        {"cmd", VK_LWIN},
        {"meta", VK_LWIN},
        {"lctrl", VK_LCONTROL},
        {"rctrl", VK_RCONTROL},
        {"lshift", VK_LSHIFT},
        {"rshift", VK_RSHIFT},
        {"lalt", VK_LMENU},
        {"ralt", VK_RMENU},
        {"lwin", VK_LWIN},
        {"rwin", VK_RWIN},
        {"num*", VK_MULTIPLY},
        {"num-", VK_SUBTRACT},
        {"num.", VK_DECIMAL},
        {"num/", VK_DIVIDE},
        {"numenter", VK_RETURN | kExtendedName},
        {"num+", VK_ADD},
        {"numplus", VK_ADD},
        {"-", VK_OEM_MINUS},
        {"=", VK_OEM_PLUS},
        {"[", VK_OEM_4},
        {"]", VK_OEM_6},
        {"\\", VK_OEM_5},
        {";", VK_OEM_1},
        {"'", VK_OEM_7},
        {",", VK_OEM_COMMA},
        {".", VK_OEM_PERIOD},
        {"/", VK_OEM_2},
        {"`", VK_OEM_3},
        {"capslock", VK_CAPITAL},
        {"caps", VK_CAPITAL},
        {"numlock", VK_NUMLOCK},
        {"scrolllock", VK_SCROLL},
        {"printscreen", VK_SNAPSHOT},
        {"prtsc", VK_SNAPSHOT},
        {"pause", VK_PAUSE},
        {"break", VK_CANCEL},
    };
    for (const auto& [name, code] : named) map.emplace(name, code);
    return map;
}

}  // namespace

const KeyNameMap& KeyMap() {
    static const KeyNameMap keyMap = BuildKeyMap();
    return keyMap;
}

bool IsExtendedKey(std::uint16_t vkCode) {
    switch (vkCode) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_CANCEL: return true;
        default: return false;
    }
}

std::string ShortestKeyName(std::uint16_t key) {
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

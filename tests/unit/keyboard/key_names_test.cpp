#include "keyboard/key_names.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

std::optional<std::uint16_t> Code(const std::string& name) {
    const auto found = KeyMap().find(name);
    if (found == KeyMap().end()) return std::nullopt;
    return found->second;
}

TEST(KeyMap, HoldsEveryNameOnceAndOnlyInLowerCase) {
    EXPECT_EQ(KeyMap().size(), 138u);
    std::size_t longest = 0;
    for (const auto& [name, code] : KeyMap()) {
        for (const char c : name) EXPECT_FALSE(c >= 'A' && c <= 'Z') << name;
        // A virtual-key code, and the extended-name mark on the keypad Enter alone.
        EXPECT_EQ(code & ~kExtendedName, code & 0xFF) << name;
        EXPECT_EQ((code & kExtendedName) != 0, name == "numenter") << name;
        longest = std::max(longest, name.size());
    }
    EXPECT_EQ(longest, kLongestKeyName);
}

TEST(KeyMap, RangesAndAliases) {
    for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(Code(std::string(1, c)), 0x41 + (c - 'a'));
    for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(Code(std::string(1, c)), 0x30 + (c - '0'));
    for (int f = 1; f <= 24; ++f) EXPECT_EQ(Code("f" + std::to_string(f)), 0x6F + f);
    for (int n = 0; n <= 9; ++n) EXPECT_EQ(Code("num" + std::to_string(n)), 0x60 + n);
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"enter", 0x0D},      {"return", 0x0D},      {"numenter", 0x10D}, {"backspace", 0x08}, {"bksp", 0x08},
        {"bs", 0x08},         {"pagedown", 0x22},    {"pgdn", 0x22},      {"pgdown", 0x22},    {"pageup", 0x21},
        {"pgup", 0x21},       {"win", 0x5B},         {"windows", 0x5B},   {"super", 0x5B},     {"cmd", 0x5B},
        {"meta", 0x5B},       {"lwin", 0x5B},        {"rwin", 0x5C},      {"ctrl", 0x11},      {"control", 0x11},
        {"shift", 0x10},      {"alt", 0x12},         {"lctrl", 0xA2},     {"rctrl", 0xA3},     {"lshift", 0xA0},
        {"rshift", 0xA1},     {"lalt", 0xA4},        {"ralt", 0xA5},      {"break", 0x03},     {"pause", 0x13},
        {"=", 0xBB},          {"-", 0xBD},           {"[", 0xDB},         {"]", 0xDD},         {"\\", 0xDC},
        {";", 0xBA},          {"'", 0xDE},           {",", 0xBC},         {".", 0xBE},         {"/", 0xBF},
        {"`", 0xC0},          {"num*", 0x6A},        {"num-", 0x6D},      {"num.", 0x6E},      {"num/", 0x6F},
        {"num+", 0x6B},       {"numplus", 0x6B},     {"capslock", 0x14},  {"caps", 0x14},      {"numlock", 0x90},
        {"scrolllock", 0x91}, {"printscreen", 0x2C}, {"prtsc", 0x2C},     {"esc", 0x1B},       {"del", 0x2E},
        {"ins", 0x2D},        {"spc", 0x20},         {"tab", 0x09},
    };
    for (const auto& [name, code] : cases) EXPECT_EQ(Code(name), code) << name;
}

TEST(KeyMap, HasNoOtherNames) {
    for (const char* name : {"num", "f0", "f25", "F5", "Enter", "+", "space bar", "apps", "", "altgr"}) {
        EXPECT_FALSE(Code(name).has_value()) << name;
    }
}

TEST(ExtendedKeys, AreExactlyTheKeysWithKeypadNamesakes) {
    const std::uint16_t extended[] = {VK_INSERT, VK_DELETE, VK_HOME,  VK_END,    VK_PRIOR,    VK_NEXT,
                                      VK_LEFT,   VK_UP,     VK_RIGHT, VK_DOWN,   VK_RCONTROL, VK_RMENU,
                                      VK_LWIN,   VK_RWIN,   VK_APPS,  VK_DIVIDE, VK_NUMLOCK,  VK_CANCEL};
    int count = 0;
    for (int vk = 0; vk < 256; ++vk) {
        const bool expected = std::find(std::begin(extended), std::end(extended), vk) != std::end(extended);
        EXPECT_EQ(IsExtendedKey(static_cast<std::uint16_t>(vk)), expected) << vk;
        count += IsExtendedKey(static_cast<std::uint16_t>(vk)) ? 1 : 0;
    }
    EXPECT_EQ(count, 18);
    EXPECT_FALSE(IsExtendedKey(VK_SNAPSHOT));
}

}  // namespace

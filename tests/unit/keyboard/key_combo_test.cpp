#include "keyboard/key_combo.h"
#include "support/records.h"
#include "support/session.h"

namespace {

using Codes = std::vector<std::uint16_t>;
using Strings = std::vector<std::string>;
using KeyCombo = DesktopTest;

TEST_F(KeyCombo, ParsesPartsInOrderThroughTheTableAndTheLayout) {
    const std::pair<std::string, Codes> cases[] = {
        {"ctrl+c", {0x11, 0x43}},
        {"CTRL+C", {0x11, 0x43}},
        {"Ctrl+c", {0x11, 0x43}},
        {"ctrl + shift + esc", {0x11, 0x10, 0x1B}},
        {"ctrl shift esc", {0x11, 0x10, 0x1B}},
        {"  alt+f4\r\n", {0x12, 0x73}},
        {"c+ctrl", {0x43, 0x11}},
        {"ctrl+ctrl", {0x11, 0x11}},
        {"ctrl++", {0x11}},
        {"+ctrl", {0x11}},
        {"ctrl+", {0x11}},
        {"+", {}},
        {"++", {}},
        {"", {}},
        {" \t ", {}},
        {"ctrl+foo", {0x11}},
        {"foo", {}},
        {"f25", {}},
        {"ctrl\tc", {}},  // a tab does not separate: one six-byte part, dropped
        {"A", {0x41}},
        {"!", {0x10, 0x31}},
        {"shift+!", {0x10, 0x10, 0x31}},
        {"ctrl+?", {0x11, 0x10, 0xBF}},
        {"NUM*", {0x6A}},
        {"numenter", {0x10D}},
        {"/", {0xBF}},
        {";", {0xBA}},
        {"\xC3\xA9", {}},  // one character, two bytes: not a name, dropped
        // The keypad plus key.
        {"num+", {0x6B}},
        {"NUM+", {0x6B}},
        {"ctrl+num+", {0x11, 0x6B}},
        {"num++a", {0x6B, 0x41}},
        {"num+ a", {0x6B, 0x41}},
        {"numplus", {0x6B}},
        {"num", {}},
        {"num+a", {0x41}},
        {"num+++", {0x6B}},
    };
    for (const auto& [combo, codes] : cases) EXPECT_EQ(ParseKeyCombo(combo), codes) << "[" << combo << "]";
}

TEST_F(KeyCombo, LayoutCharactersBringTheirModifiers) {
    sim::State().vkScan['~'] = 0x06DB;  // an AltGr character: Ctrl and Alt on the [ key
    EXPECT_EQ(ParseKeyCombo("~"), (Codes{0x11, 0x12, 0xDB}));
    sim::State().vkScan['<'] = 0x0FE2;  // the 0x08 bit is not a modifier we press
    EXPECT_EQ(ParseKeyCombo("<"), (Codes{0x10, 0x11, 0x12, 0xE2}));
    sim::State().vkScan['{'] = -1;
    EXPECT_EQ(ParseKeyCombo("{"), Codes{});
    EXPECT_EQ(ParseKeyCombo("ctrl+{"), Codes{0x11});
    sim::State().vkScan[0xE9] = 0x0032;  // a byte above 0x7F goes to the layout like any other
    EXPECT_EQ(ParseKeyCombo("\xE9"), Codes{0x32});
}

TEST_F(KeyCombo, PressSendsDownsInOrderAndUpsInReverseInOneCall) {
    const ActionResult r = PressKeyCombo("ctrl+c");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(r.count, 4u);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x11 0x1D 0x0008", "key 0x43 0x2E 0x0008", "key 0x43 0x2E 0x000A",
                                                "key 0x11 0x1D 0x000A"}}));
    EXPECT_TRUE(sim::State().heldKeys.empty());
    for (const sim::MapCall& call : sim::State().mapCalls) EXPECT_TRUE(call.wide);
}

TEST_F(KeyCombo, PressRecords) {
    const std::pair<const char*, Strings> cases[] = {
        {"enter", {"key 0x0D 0x1C 0x0008", "key 0x0D 0x1C 0x000A"}},
        {"ctrl+shift+esc",
         {"key 0x11 0x1D 0x0008", "key 0x10 0x2A 0x0008", "key 0x1B 0x01 0x0008", "key 0x1B 0x01 0x000A",
          "key 0x10 0x2A 0x000A", "key 0x11 0x1D 0x000A"}},
        {"alt+f4", {"key 0x12 0x38 0x0008", "key 0x73 0x3E 0x0008", "key 0x73 0x3E 0x000A", "key 0x12 0x38 0x000A"}},
        {"shift+!",
         {"key 0x10 0x2A 0x0008", "key 0x10 0x2A 0x0008", "key 0x31 0x02 0x0008", "key 0x31 0x02 0x000A",
          "key 0x10 0x2A 0x000A", "key 0x10 0x2A 0x000A"}},
        // Extended keys carry the extended-key flag on both records.
        {"up", {"key 0x26 0x48 0x0009", "key 0x26 0x48 0x000B"}},
        {"rctrl+del", {"key 0xA3 0x1D 0x0009", "key 0x2E 0x53 0x0009", "key 0x2E 0x53 0x000B", "key 0xA3 0x1D 0x000B"}},
        {"win", {"key 0x5B 0x5B 0x0009", "key 0x5B 0x5B 0x000B"}},
        {"num/", {"key 0x6F 0x35 0x0009", "key 0x6F 0x35 0x000B"}},
        {"num8", {"key 0x68 0x48 0x0008", "key 0x68 0x48 0x000A"}},
        {"num+", {"key 0x6B 0x4E 0x0008", "key 0x6B 0x4E 0x000A"}},
        {"printscreen", {"key 0x2C 0x54 0x0008", "key 0x2C 0x54 0x000A"}},
        {"break", {"key 0x03 0x46 0x0009", "key 0x03 0x46 0x000B"}},
        // The keypad Enter is the main Enter's virtual key and scan code with the extended flag.
        {"numenter", {"key 0x0D 0x1C 0x0009", "key 0x0D 0x1C 0x000B"}},
        // Pause and Num Lock go by virtual key: no scan-code record can say Pause.
        {"pause", {"key 0x13 0x45 0x0000", "key 0x13 0x45 0x0002"}},
        {"numlock", {"key 0x90 0x45 0x0001", "key 0x90 0x45 0x0003"}},
        {"ctrl+pause",
         {"key 0x11 0x1D 0x0008", "key 0x13 0x45 0x0000", "key 0x13 0x45 0x0002", "key 0x11 0x1D 0x000A"}},
    };
    for (const auto& [combo, records] : cases) {
        sim::Reset();
        const ActionResult r = PressKeyCombo(combo);
        EXPECT_TRUE(r.success) << combo;
        EXPECT_EQ(r.count, records.size()) << combo;
        EXPECT_EQ(Batches(), std::vector<Strings>{records}) << combo;
    }
}

TEST_F(KeyCombo, EveryExtendedNavigationKeyIsFlagged) {
    for (const char* name : {"insert", "delete", "home", "end", "pgup", "pgdn", "left", "right", "up", "down", "ralt",
                             "rwin", "lwin", "numlock"}) {
        sim::Reset();
        ASSERT_TRUE(PressKeyCombo(name).success) << name;
        for (const KEYBDINPUT& ki : sim::AllKeyRecords()) EXPECT_TRUE(ki.dwFlags & KEYEVENTF_EXTENDEDKEY) << name;
    }
    for (const char* name : {"lctrl", "lalt", "ctrl", "alt", "num0", "num.", "enter", "a", "f1", "printscreen"}) {
        sim::Reset();
        ASSERT_TRUE(PressKeyCombo(name).success) << name;
        for (const KEYBDINPUT& ki : sim::AllKeyRecords()) EXPECT_FALSE(ki.dwFlags & KEYEVENTF_EXTENDEDKEY) << name;
    }
}

TEST_F(KeyCombo, EachKeyArrivesAsTheKeyItsNameMeans) {
    // What the system makes of the records: a scan-coded 0x45 would be Num Lock, whatever the
    // virtual key beside it said, so Pause must go by virtual key.
    EXPECT_EQ(sim::ScanToVk(0x45, false), VK_NUMLOCK);
    const struct {
        const char* name;
        WORD vk;
        bool extended;
        bool togglesNumLock;
    } cases[] = {
        {"pause", VK_PAUSE, false, false},  {"numlock", VK_NUMLOCK, true, true}, {"numenter", VK_RETURN, true, false},
        {"enter", VK_RETURN, false, false}, {"num8", 0x68, false, false},        {"up", VK_UP, true, false},
    };
    for (const auto& c : cases) {
        sim::Reset();
        ASSERT_TRUE(PressKeyCombo(c.name).success) << c.name;
        const auto& strokes = sim::State().keyStrokes;
        ASSERT_EQ(strokes.size(), 2u) << c.name;
        for (const sim::KeyStroke& k : strokes) {
            EXPECT_EQ(k.vk, c.vk) << c.name;
            EXPECT_EQ(k.extended, c.extended) << c.name;
        }
        EXPECT_EQ(sim::State().numLock, c.togglesNumLock) << c.name;
    }
}

TEST_F(KeyCombo, ManyKeysStillGoInOneBatch) {
    std::string combo = "a";
    for (int i = 0; i < 299; ++i) combo += "+b";
    const ActionResult r = PressKeyCombo(combo);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.count, 600u);
    ASSERT_EQ(sim::State().batches.size(), 1u);
    EXPECT_EQ(sim::State().batches[0].size(), 600u);

    // Ten distinct keys, past the room a usual combination has in place: every key down in
    // order, then up in reverse.
    sim::Reset();
    ASSERT_TRUE(PressKeyCombo("a+b+c+d+e+f+g+h+i+j").success);
    ASSERT_EQ(sim::State().batches.size(), 1u);
    std::string order;
    for (const KEYBDINPUT& ki : sim::AllKeyRecords()) {
        order += static_cast<char>(ki.wVk);
        order += (ki.dwFlags & KEYEVENTF_KEYUP) ? '^' : 'v';
    }
    EXPECT_EQ(order, "AvBvCvDvEvFvGvHvIvJvJ^I^H^G^F^E^D^C^B^A^");
}

TEST_F(KeyCombo, InvalidComboSendsNothing) {
    for (const std::string combo : {"foo", "+", " Foo+Bar ", ""}) {
        const ActionResult r = PressKeyCombo(combo);
        EXPECT_FALSE(r.success);
        EXPECT_EQ(r.message, "Invalid key combo: " + combo);
        EXPECT_EQ(r.count, 0u);
    }
    EXPECT_TRUE(sim::State().batches.empty());
    EXPECT_TRUE(sim::State().sleeps.empty());
}

TEST_F(KeyCombo, RefusedBatchFailsWithTheCode) {
    sim::State().plans = {{0, 5}};
    const ActionResult r = PressKeyCombo("ctrl+c");
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.message, "Key combo failed: 5");
    EXPECT_EQ(r.count, 0u);
    EXPECT_EQ(sim::State().batches.size(), 1u);  // nothing was down, so nothing to release
}

TEST_F(KeyCombo, PartlyAcceptedBatchReleasesWhatWentDown) {
    sim::State().plans = {{3, 87}};
    const ActionResult r = PressKeyCombo("ctrl+shift+esc");
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.message, "Key combo failed: 87");
    EXPECT_EQ(r.count, 3u);
    ASSERT_EQ(Batches().size(), 2u);
    EXPECT_EQ(Batches()[1], (Strings{"key 0x1B 0x01 0x000A", "key 0x10 0x2A 0x000A", "key 0x11 0x1D 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());

    sim::Reset();
    sim::State().plans = {{3, 5}};  // ctrl, c down; c up taken; ctrl up refused
    EXPECT_EQ(PressKeyCombo("ctrl+c").count, 3u);
    ASSERT_EQ(Batches().size(), 2u);
    EXPECT_EQ(Batches()[1], (Strings{"key 0x11 0x1D 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());

    // Shift named twice went down twice: exactly one key-up for each Shift that went down, none
    // for one that did not (the desktop counts downs and ups).
    const std::pair<UINT, Strings> shiftCases[] = {
        {3, {"key 0x31 0x02 0x000A", "key 0x10 0x2A 0x000A", "key 0x10 0x2A 0x000A"}},
        {2, {"key 0x10 0x2A 0x000A", "key 0x10 0x2A 0x000A"}},
        {1, {"key 0x10 0x2A 0x000A"}},
        {5, {"key 0x10 0x2A 0x000A"}},
    };
    for (const auto& [accepted, releases] : shiftCases) {
        sim::Reset();
        sim::State().plans = {{accepted, 5}};
        PressKeyCombo("shift+!");
        ASSERT_EQ(Batches().size(), 2u) << accepted;
        EXPECT_EQ(Batches()[1], releases) << accepted;
        EXPECT_TRUE(sim::State().heldKeys.empty()) << accepted;
        EXPECT_EQ(sim::State().strayKeyUps, 0) << accepted;
    }
}

}  // namespace

#include "support/records.h"
#include "support/answers.h"
#include "support/session.h"

namespace {

using Strings = std::vector<std::string>;
using KeyboardCommands = DesktopTest;

// The characters typed, as the keys pressed spell them: scan codes of key-downs.
std::vector<WORD> KeyDowns() {
    std::vector<WORD> downs;
    for (const KEYBDINPUT& ki : sim::AllKeyRecords()) {
        if (!(ki.dwFlags & KEYEVENTF_KEYUP)) downs.push_back(ki.wVk);
    }
    return downs;
}

TEST_F(KeyboardCommands, UsageMessages) {
    EXPECT_EQ(Answer("type"), Error("Usage: type \\\"text\\\""));
    EXPECT_EQ(Answer("type \"\""), Error("Usage: type \\\"text\\\""));
    EXPECT_EQ(Answer("press"), Error("Usage: press ctrl+c"));
    EXPECT_EQ(Answer("key"), Error("Usage: press ctrl+c"));
    EXPECT_TRUE(sim::State().batches.empty());
}

TEST_F(KeyboardCommands, TypeJoinsItsWordsWithSingleSpaces) {
    EXPECT_EQ(Answer("type a   b"), Data(6));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x41, 0x20, 0x42}));
    sim::Reset();
    EXPECT_EQ(Answer("type \"a   b\""), Data(10));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x41, 0x20, 0x20, 0x20, 0x42}));
    sim::Reset();
    // Backslashes stay: s a y space \ " h i \ " (each quote with its Shift).
    EXPECT_EQ(Answer("TYPE say \\\"hi\\\""), Data(24));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x53, 0x41, 0x59, 0x20, 0xDC, 0x10, 0xDE, 0x48, 0x49, 0xDC, 0x10, 0xDE}));
}

TEST_F(KeyboardCommands, TypeWithNothingToSendAnswersOkWithoutData) {
    sim::State().vkScan[0x01] = -1;
    EXPECT_EQ(Answer("type \x01"), "{\"status\":\"ok\"}\n");
}

TEST_F(KeyboardCommands, PressJoinsItsPiecesWithPlus) {
    for (const char* line : {"press ctrl c", "key ctrl c", "press ctrl+c", "KEY Ctrl+C", "press \"ctrl c\""}) {
        sim::Reset();
        EXPECT_EQ(Answer(line), Data(4)) << line;
        EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x11, 0x43})) << line;
    }
    sim::Reset();
    EXPECT_EQ(Answer("press alt f4"), Data(4));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x12, 0x73}));
}

TEST_F(KeyboardCommands, ActionFailuresReachTheClient) {
    EXPECT_EQ(Answer("press foo"), Error("Invalid key combo: foo"));
    EXPECT_EQ(Answer("press foo bar"), Error("Invalid key combo: foo+bar"));
    EXPECT_EQ(Answer("press \\"), Data(2));  // the backslash key
    sim::State().plans = {{0, 5}};
    EXPECT_EQ(Answer("press enter"), Error("Key combo failed: 5"));
    sim::State().plans = {{2, 0}, {0, 5}};
    EXPECT_EQ(Answer("type abc"), Error("Type failed: 5"));
}

TEST_F(KeyboardCommands, DownAndUpSendTheirKeysInOrderAndReverseAndKeepThemHeldBetween) {
    const Transcript t = RunSession("down ctrl+shift\nclick 10,10\nup ctrl shift\n");
    EXPECT_EQ(t.out, Data(2) + Data(2) + Data(2));
    const auto batches = Batches();
    ASSERT_EQ(batches.size(), 4u);  // down; move; click; up
    EXPECT_EQ(batches[0], (Strings{"key 0x11 0x1D 0x0008", "key 0x10 0x2A 0x0008"}));
    EXPECT_EQ(batches[3], (Strings{"key 0x10 0x2A 0x000A", "key 0x11 0x1D 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());
    EXPECT_EQ(t.err.find("Released"), std::string::npos);  // nothing left to release at the end
}

TEST_F(KeyboardCommands, UpOfAKeyNotHeldStillReleasesIt) {
    EXPECT_EQ(Answer("up alt"), Data(1));
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x12 0x38 0x000A"}}));
}

TEST_F(KeyboardCommands, PressOfAHeldKeyPressesAndReleasesIt) {
    const Transcript t = RunSession("down shift\npress shift+a\n");
    EXPECT_EQ(t.out, Data(1) + Data(4));
    EXPECT_EQ(sim::State().batches.size(), 2u);  // nothing left to release at the end
    EXPECT_EQ(t.err.find("Released"), std::string::npos);
}

TEST_F(KeyboardCommands, APartlyTakenDownLeavesNothingHeld) {
    sim::State().plans = {{2, 5}};
    EXPECT_EQ(Answer("down ctrl+alt+del"), Error("Key down failed: 5"));
    EXPECT_EQ(Batches().back(), (Strings{"key 0x12 0x38 0x000A", "key 0x11 0x1D 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());
    EXPECT_EQ(sim::State().batches.size(), 2u);  // and nothing was left for the exit to release
}

TEST_F(KeyboardCommands, KeyCommandErrors) {
    EXPECT_EQ(Answer("down"), Error("Usage: down KEY[+KEY...]"));
    EXPECT_EQ(Answer("up"), Error("Usage: up KEY[+KEY...]"));
    EXPECT_EQ(Answer("down foo"), Error("Invalid key combo: foo"));
    sim::State().plans = {{0, 5}};
    EXPECT_EQ(Answer("up ctrl"), Error("Key up failed: 5"));
}

TEST_F(KeyboardCommands, TypeJsonTypesExactlyTheTextWithLineBreaksAsEnter) {
    sim::State().foreground = sim::AddWindow("editor");
    const Transcript t = RunSession(R"(typejson "  He said \"hi\"\\ \r\nnext\nlast\rtab\there\u0001 é" )"
                                    "\n");
    ASSERT_EQ(t.out.rfind("{\"status\":\"ok\",\"data\":", 0), 0u) << t.out;
    EXPECT_EQ(sim::State().layoutText, "  He said \"hi\"\\ \rnext\rlast\rtab\there ");
    EXPECT_EQ(sim::State().typedUnits, std::vector<std::uint32_t>{0xE9});
    // Enter is the plain Enter key, never Ctrl+Enter (which is what the layout gives a line feed).
    for (const KEYBDINPUT& k : sim::AllKeyRecords()) EXPECT_NE(k.wVk, VK_CONTROL);
}

TEST_F(KeyboardCommands, TypeJsonPausesBetweenCharactersOnly) {
    EXPECT_EQ(Answer(R"(typejson "abc" 30)"), Data(6));
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{30, 30}));
    sim::Reset();
    EXPECT_EQ(Answer(R"(TYPEJSON "x")"), Data(2));
    EXPECT_TRUE(sim::State().sleeps.empty());
}

TEST_F(KeyboardCommands, TypeJsonErrors) {
    const std::string usage = Error("Usage: typejson \\\"text\\\" [MS]");
    EXPECT_EQ(Answer("typejson"), usage);
    EXPECT_EQ(Answer("typejson   "), usage);
    EXPECT_EQ(Answer(R"(typejson "a" 5 6)"), usage);
    EXPECT_EQ(Answer("typejson abc"), Error("Invalid JSON string: expected a quote at byte 0"));
    EXPECT_EQ(Answer(R"(typejson "abc)"), Error("Invalid JSON string: missing closing quote at byte 4"));
    EXPECT_EQ(Answer(R"(typejson "\ud800")"), Error("Invalid JSON string: lone surrogate at byte 1"));
    EXPECT_EQ(Answer(R"(typejson "a\qb")"), Error("Invalid JSON string: invalid escape \\\\q at byte 2"));
    EXPECT_EQ(Answer(R"(typejson "a" -1)"), Error("Invalid delay: MS must not be negative"));
    EXPECT_EQ(Answer(R"(typejson "a" x)"), Error("Exception: invalid stoi argument"));
    EXPECT_TRUE(sim::State().batches.empty());
}

}  // namespace

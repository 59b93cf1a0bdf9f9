#include "support/records.h"
#include "support/session.h"

namespace {

using Strings = std::vector<std::string>;
using KeyboardCommands = DesktopTest;

std::string Error(const std::string& message) { return "{\"status\":\"error\",\"message\":\"" + message + "\"}\n"; }
std::string Ok(int data) { return "{\"status\":\"ok\",\"data\":" + std::to_string(data) + "}\n"; }

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
    EXPECT_EQ(Answer("type a   b"), Ok(6));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x41, 0x20, 0x42}));
    sim::Reset();
    EXPECT_EQ(Answer("type \"a   b\""), Ok(10));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x41, 0x20, 0x20, 0x20, 0x42}));
    sim::Reset();
    // Backslashes stay: s a y space \ " h i \ " (each quote with its Shift).
    EXPECT_EQ(Answer("TYPE say \\\"hi\\\""), Ok(24));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x53, 0x41, 0x59, 0x20, 0xDC, 0x10, 0xDE, 0x48, 0x49, 0xDC, 0x10, 0xDE}));
}

TEST_F(KeyboardCommands, TypeWithNothingToSendAnswersOkWithoutData) {
    sim::State().vkScan[0x01] = -1;
    EXPECT_EQ(Answer("type \x01"), "{\"status\":\"ok\"}\n");
}

TEST_F(KeyboardCommands, PressJoinsItsPiecesWithPlus) {
    for (const char* line : {"press ctrl c", "key ctrl c", "press ctrl+c", "KEY Ctrl+C", "press \"ctrl c\""}) {
        sim::Reset();
        EXPECT_EQ(Answer(line), Ok(4)) << line;
        EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x11, 0x43})) << line;
    }
    sim::Reset();
    EXPECT_EQ(Answer("press alt f4"), Ok(4));
    EXPECT_EQ(KeyDowns(), (std::vector<WORD>{0x12, 0x73}));
}

TEST_F(KeyboardCommands, ActionFailuresReachTheClient) {
    EXPECT_EQ(Answer("press foo"), Error("Invalid key combo: foo"));
    EXPECT_EQ(Answer("press foo bar"), Error("Invalid key combo: foo+bar"));
    EXPECT_EQ(Answer("press \\"), Ok(2));  // the backslash key
    sim::State().plans = {{0, 5}};
    EXPECT_EQ(Answer("press enter"), Error("Key combo failed: 5"));
    sim::State().plans = {{2, 0}, {0, 5}};
    EXPECT_EQ(Answer("type abc"), Error("Type failed: 5"));
}

}  // namespace

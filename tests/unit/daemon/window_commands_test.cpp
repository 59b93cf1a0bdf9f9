#include "support/session.h"

#include <cstdint>

namespace {

using WindowCommands = DesktopTest;

std::string Error(const std::string& message) { return "{\"status\":\"error\",\"message\":\"" + message + "\"}\n"; }
const std::string kOk = "{\"status\":\"ok\"}\n";

HWND Handle(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

TEST_F(WindowCommands, FindAnswersTheHandleInLowerCaseHexadecimal) {
    sim::AddWindow("Desktop");
    sim::AddWindow("Quarterly Report");  // 0x1003a
    EXPECT_EQ(Answer("find quarterly report"), "{\"status\":\"ok\",\"hwnd\":\"0x1003a\"}\n");
    EXPECT_EQ(Answer("FIND \"Report\""), "{\"status\":\"ok\",\"hwnd\":\"0x1003a\"}\n");
}

TEST_F(WindowCommands, FindJoinsItsWordsAndEchoesThemWhenNothingMatches) {
    EXPECT_EQ(Answer("find Quarterly   Report"), Error("Window not found: Quarterly Report"));
    EXPECT_EQ(Answer("find \"Quarterly   Report\""), Error("Window not found: Quarterly   Report"));
    EXPECT_EQ(Answer("find C:\\temp\\x"), Error("Window not found: C:\\\\temp\\\\x"));
    EXPECT_EQ(Answer("find say \\\"hi\\\""), Error("Window not found: say \\\\\\\"hi\\\\\\\""));
    EXPECT_EQ(Answer("find"), Error("Usage: find \\\"window title\\\""));
    EXPECT_EQ(Answer("find \"\""), Error("Usage: find \\\"window title\\\""));
}

TEST_F(WindowCommands, FocusTakesEverySpellingOfTheHandle) {
    for (int i = 0; i < 24; ++i) sim::AddWindow("w" + std::to_string(i));
    sim::Window& target = sim::State().windows.back();
    target.handle = Handle(0xa0b2c);
    sim::Window& octal = sim::State().windows.front();
    octal.handle = Handle(10);
    for (const char* spelling : {"0xa0b2c", "0xA0B2C", "0x00a0b2c", "658220", "0Xa0b2c", " +0xa0b2c"}) {
        sim::State().foreground = nullptr;
        EXPECT_EQ(Answer(std::string("focus ") + spelling), kOk) << spelling;
        EXPECT_EQ(sim::State().foreground, target.handle) << spelling;
    }
    EXPECT_EQ(Answer("foreground 012"), kOk);
    EXPECT_EQ(sim::State().foreground, octal.handle);
}

TEST_F(WindowCommands, FindThenFocusRoundTrips) {
    sim::AddWindow("first");
    const HWND w = sim::AddWindow("Target window", true, true);
    const Transcript t = RunSession("find target\n");
    const std::string prefix = "{\"status\":\"ok\",\"hwnd\":\"";
    ASSERT_EQ(t.out.rfind(prefix, 0), 0u) << t.out;
    const std::string handleText = t.out.substr(prefix.size(), t.out.find('"', prefix.size()) - prefix.size());
    EXPECT_EQ(Answer("focus " + handleText), kOk);
    EXPECT_EQ(sim::State().foreground, w);
    EXPECT_FALSE(sim::FindWindow(w)->minimized);
}

TEST_F(WindowCommands, FocusErrors) {
    const HWND closed = sim::AddWindow("closed");
    sim::FindWindow(closed)->alive = false;
    sim::AddWindow("open");
    EXPECT_EQ(Answer("focus"), Error("Usage: focus HWND"));
    EXPECT_EQ(Answer("foreground"), Error("Usage: focus HWND"));
    EXPECT_EQ(Answer("focus 0"), Error("Invalid HWND"));
    EXPECT_EQ(Answer("focus 0x0"), Error("Invalid HWND"));
    EXPECT_EQ(Answer("focus 0x10010"), Error("Invalid HWND"));  // closed
    EXPECT_EQ(Answer("focus 0x12345"), Error("Invalid HWND"));  // never was
    EXPECT_EQ(Answer("focus zz"), Error("Exception: invalid stoull argument"));
    EXPECT_EQ(Answer("focus 0x1ffffffffffffffff"), Error("Exception: stoull argument out of range"));
    EXPECT_TRUE(sim::State().windowCalls.empty());  // none of these reached the window
    sim::State().refuseForeground = true;
    EXPECT_EQ(Answer("focus 0x1003a"), Error("Failed to bring window to front"));
}

}  // namespace

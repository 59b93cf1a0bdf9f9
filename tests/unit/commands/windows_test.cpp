#include "support/answers.h"
#include "support/session.h"

#include <cstdint>

namespace {

using WindowCommands = DesktopTest;

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

TEST_F(WindowCommands, WindowsAnswersEveryListedWindowByteForByte) {
    const HWND a = sim::AddWindow("Say \"hi\"\\ caf\xC3\xA9");
    sim::FindWindow(a)->className = "Edit\tor";
    sim::FindWindow(a)->frame = RECT{-1280, 10, -680, 410};
    const HWND b = sim::AddWindow("second", true, true);
    sim::State().foreground = a;
    EXPECT_EQ(Answer("windows"),
              "{\"status\":\"ok\",\"windows\":["
              "{\"hwnd\":\"0x10010\",\"title\":\"Say \\\"hi\\\"\\\\ caf\xC3\xA9\",\"class\":\"Edit\\tor\",\"pid\":8192,"
              "\"left\":-1280,\"top\":10,\"right\":-680,\"bottom\":410,\"minimized\":false,\"maximized\":false,"
              "\"foreground\":true},"
              "{\"hwnd\":\"0x1003a\",\"title\":\"second\",\"class\":\"SimWindow\",\"pid\":8196,"
              "\"left\":-32000,\"top\":-32000,\"right\":-31840,\"bottom\":-31972,\"minimized\":true,"
              "\"maximized\":false,\"foreground\":false}]}\n");
    (void)b;
    EXPECT_EQ(Answer("windows SECOND"), Answer("windows second"));
    EXPECT_EQ(Answer("windows nothing like it"), "{\"status\":\"ok\",\"windows\":[]}\n");
}

TEST_F(WindowCommands, ActiveRectAndClientAnswerTheForegroundWindowAndItsAreas) {
    EXPECT_EQ(Answer("active"), Error("No foreground window"));
    const HWND w = sim::AddWindow("Editor \xE6\x97\xA5");
    sim::FindWindow(w)->frame = RECT{100, 50, 900, 650};
    sim::State().foreground = w;
    EXPECT_EQ(Answer("active"), "{\"status\":\"ok\",\"hwnd\":\"0x10010\",\"title\":\"Editor \xE6\x97\xA5\"}\n");
    EXPECT_EQ(Answer("rect 0x10010"), "{\"status\":\"ok\",\"left\":100,\"top\":50,\"right\":900,\"bottom\":650}\n");
    EXPECT_EQ(Answer("client 65552"), "{\"status\":\"ok\",\"left\":101,\"top\":81,\"right\":899,\"bottom\":649}\n");
}

TEST_F(WindowCommands, HandlesAreCheckedAsFocusChecksThem) {
    const HWND closed = sim::AddWindow("closed");
    sim::FindWindow(closed)->alive = false;
    for (const std::string word : {"rect", "client", "minimize", "maximize", "restore", "close", "activate"}) {
        EXPECT_EQ(Answer(word), Error("Usage: " + word + " HWND")) << word;
        EXPECT_EQ(Answer(word + " 0"), Error("Invalid HWND")) << word;
        EXPECT_EQ(Answer(word + " 0x10010"), Error("Invalid HWND")) << word;
        EXPECT_EQ(Answer(word + " zz"), Error("Exception: invalid stoull argument")) << word;
    }
    EXPECT_EQ(Answer("movewindow 0x10010 1,1"), Error("Invalid HWND"));
}

TEST_F(WindowCommands, StateCommandsAnswerOnceTheStateIsThereOrSayItDidNotCome) {
    const HWND w = sim::AddWindow("target");
    EXPECT_EQ(RunSession("minimize 0x10010\nmaximize 0x10010\nrestore 0x10010\n").out, kOk + kOk + kOk);
    EXPECT_FALSE(IsIconic(w));
    EXPECT_FALSE(IsZoomed(w));
    sim::FindWindow(w)->hung = true;
    EXPECT_EQ(Answer("maximize 0x10010"), Error("Timed out after 2000 ms waiting for 0x10010 to be maximized"));
    EXPECT_EQ(Answer("movewindow 0x10010 5,5"), Error("Timed out after 2000 ms waiting for 0x10010 to move"));
    EXPECT_TRUE(sim::State().blockedCalls.empty());
}

TEST_F(WindowCommands, MoveWindowPlacesTheFrameThatRectAnswers) {
    sim::AddWindow("target");
    EXPECT_EQ(RunSession("movewindow 0x10010 0,0\nrect 0x10010\n").out,
              kOk + "{\"status\":\"ok\",\"left\":0,\"top\":0,\"right\":800,\"bottom\":600}\n");
    EXPECT_EQ(RunSession("movewindow 0x10010 -20,30 640,480\nrect 0x10010\n").out,
              kOk + "{\"status\":\"ok\",\"left\":-20,\"top\":30,\"right\":620,\"bottom\":510}\n");
    const std::string usage = Error("Usage: movewindow HWND X,Y [W,H]");
    EXPECT_EQ(Answer("movewindow"), usage);
    EXPECT_EQ(Answer("movewindow 0x10010"), usage);
    EXPECT_EQ(Answer("movewindow 0x10010 1,1 0,5"), usage);
    EXPECT_EQ(Answer("movewindow 0x10010 1,1 5,-5"), usage);
    EXPECT_EQ(Answer("movewindow 0x10010 1,1 500"), usage);
    EXPECT_EQ(Answer("movewindow 0x10010 1,1 5,5 x"), usage);
    EXPECT_EQ(Answer("movewindow 0x10010 12"), Error("Invalid coordinates: use X,Y"));
    EXPECT_EQ(Answer("movewindow 0x10010 a,1"), Error("Exception: invalid stoi argument"));
}

TEST_F(WindowCommands, CloseAndWaitCloseSeeTheWindowGo) {
    sim::AddWindow("doc");
    EXPECT_EQ(RunSession("close 0x10010\nwaitclose 0 0x10010\n").out, kOk + kOk);
    sim::Reset();
    const HWND hung = sim::AddWindow("doc");
    sim::FindWindow(hung)->hung = true;
    EXPECT_EQ(RunSession("close 0x10010\nwaitclose 50 0X10010\n").out,
              kOk + Error("Timed out after 50 ms waiting for 0x10010 to close"));
    EXPECT_EQ(Answer("waitclose 10 0x99999"), kOk);  // never was, or already gone: nothing to wait for
    EXPECT_EQ(Answer("waitclose 10 0"), Error("Invalid HWND"));
    EXPECT_EQ(Answer("waitclose 10"), Error("Usage: waitclose MS HWND"));
    EXPECT_EQ(Answer("waitclose -1 0x10010"), Error("Invalid timeout: MS must not be negative"));
    EXPECT_EQ(Answer("waitclose x 0x10010"), Error("Exception: invalid stoi argument"));
}

TEST_F(WindowCommands, WaitWindowFindsAWindowThatAppearsAndEchoesTheTitleWhenNoneDoes) {
    sim::FindWindow(sim::AddWindow("Save   As"))->bornAfterEnums = 5;
    EXPECT_EQ(Answer("waitwindow 1000 \"SAVE   as\""), "{\"status\":\"ok\",\"hwnd\":\"0x10010\"}\n");
    sim::AddWindow("hidden dialog", false);
    EXPECT_EQ(Answer("waitwindow 30 hidden   dialog"),
              Error("Timed out after 30 ms waiting for window: hidden dialog"));
    EXPECT_EQ(Answer("waitwindow 30"), Error("Usage: waitwindow MS TITLE"));
    EXPECT_EQ(Answer("waitwindow -5 x"), Error("Invalid timeout: MS must not be negative"));
    EXPECT_EQ(Answer("waitwindow 99999999999 x"), Error("Exception: stoi argument out of range"));
}

TEST_F(WindowCommands, ActivateNamesTheWindowStillInFrontWhenItFails) {
    const HWND front = sim::AddWindow("Other \"app\"");
    sim::AddWindow("target");
    sim::State().foreground = front;
    sim::State().refuseForeground = true;
    EXPECT_EQ(Answer("activate 0x1003a"),
              Error("Failed to activate 0x1003a: 0x10010 (Other \\\"app\\\") is still in front"));
    sim::State().foreground = nullptr;
    EXPECT_EQ(Answer("activate 0x1003a"), Error("Failed to activate 0x1003a: no window is in front"));
    sim::State().refuseForeground = false;
    EXPECT_EQ(Answer("activate 0x1003a"), kOk);
    EXPECT_EQ(sim::State().foreground, sim::State().windows[1].handle);
}

TEST_F(WindowCommands, SessionAnswersAndTheBannerWarnsWhereInputReachesNoOne) {
    EXPECT_EQ(Answer("session"), "{\"status\":\"ok\",\"session\":1,\"desktop\":\"Default\",\"interactive\":true}\n");
    EXPECT_EQ(RunSession("").err, "marlet daemon ready. Type 'help' for commands.\nmarlet daemon shutting down.\n");
    sim::State().session = 0;
    EXPECT_EQ(Answer("session"), "{\"status\":\"ok\",\"session\":0,\"desktop\":\"Default\",\"interactive\":false}\n");
    EXPECT_NE(RunSession("").err.find("\nWarning: marlet runs in session 0"), std::string::npos);
    sim::State().session = 1;
    sim::State().inputDesktop = "Winlogon";
    EXPECT_EQ(Answer("session"), "{\"status\":\"ok\",\"session\":1,\"desktop\":\"Winlogon\",\"interactive\":false}\n");
    EXPECT_NE(RunSession("").err.find("\nWarning: the desktop that receives input is not the user's"),
              std::string::npos);
}

}  // namespace

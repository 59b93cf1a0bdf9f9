#include "support/records.h"
#include "support/session.h"

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using InputCommands = DesktopTest;

std::string Error(const std::string& message) { return "{\"status\":\"error\",\"message\":\"" + message + "\"}\n"; }
std::string Data(int n) { return "{\"status\":\"ok\",\"data\":" + std::to_string(n) + "}\n"; }
const std::string kOk = "{\"status\":\"ok\"}\n";

const std::string kFarewell = "marlet daemon shutting down.\n";

TEST_F(InputCommands, DownAndUpSendTheirKeysInOrderAndReverseAndKeepThemHeldBetween) {
    const Transcript t = RunSession("down ctrl+shift\nclick 10,10\nup ctrl shift\n");
    EXPECT_EQ(t.out, Data(2) + Data(2) + Data(2));
    const auto batches = Batches();
    ASSERT_EQ(batches.size(), 4u);  // down; move; click; up
    EXPECT_EQ(batches[0], (Strings{"key 0x11 0x1D 0x0008", "key 0x10 0x2A 0x0008"}));
    EXPECT_EQ(batches[3], (Strings{"key 0x10 0x2A 0x000A", "key 0x11 0x1D 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());
    EXPECT_EQ(t.err.find("Released"), std::string::npos);  // nothing left to release at the end
}

TEST_F(InputCommands, UpOfAKeyNotHeldStillReleasesIt) {
    EXPECT_EQ(Answer("up alt"), Data(1));
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x12 0x38 0x000A"}}));
}

TEST_F(InputCommands, WhatIsStillHeldIsReleasedOnceInOneBatchAtEveryExit) {
    for (const std::string ending : {"quit\n", "", "exit\nmore ignored\n"}) {
        sim::Reset();
        const Transcript t = RunSession("down ctrl\ndown rshift\nmousedown 5,5 right\n" + ending);
        const auto batches = Batches();
        ASSERT_FALSE(batches.empty()) << ending;
        EXPECT_EQ(batches.back(), (Strings{"key 0xA1 0x36 0x000A", "key 0x11 0x1D 0x000A", "mouse 0 0 0 0xC010"}))
            << ending;
        EXPECT_TRUE(sim::State().heldKeys.empty()) << ending;
        EXPECT_TRUE(sim::State().heldButtons.empty()) << ending;
        EXPECT_EQ(sim::State().strayKeyUps, 0) << ending;
        EXPECT_NE(t.err.find("Released on exit: rshift, ctrl, right button\n" + kFarewell), std::string::npos) << t.err;
    }
}

TEST_F(InputCommands, PressOfAHeldKeyPressesAndReleasesIt) {
    const Transcript t = RunSession("down shift\npress shift+a\n");
    EXPECT_EQ(t.out, Data(1) + Data(4));
    EXPECT_EQ(sim::State().batches.size(), 2u);  // nothing left to release at the end
    EXPECT_EQ(t.err.find("Released"), std::string::npos);
}

TEST_F(InputCommands, APartlyTakenDownLeavesNothingHeld) {
    sim::State().plans = {{2, 5}};
    EXPECT_EQ(Answer("down ctrl+alt+del"), Error("Key down failed: 5"));
    EXPECT_EQ(Batches().back(), (Strings{"key 0x12 0x38 0x000A", "key 0x11 0x1D 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());
    EXPECT_EQ(sim::State().batches.size(), 2u);  // and nothing was left for the exit to release
}

TEST_F(InputCommands, KeyCommandErrors) {
    EXPECT_EQ(Answer("down"), Error("Usage: down KEY[+KEY...]"));
    EXPECT_EQ(Answer("up"), Error("Usage: up KEY[+KEY...]"));
    EXPECT_EQ(Answer("down foo"), Error("Invalid key combo: foo"));
    sim::State().plans = {{0, 5}};
    EXPECT_EQ(Answer("up ctrl"), Error("Key up failed: 5"));
}

TEST_F(InputCommands, MouseDownAndUpMoveWhenAskedAndCarryThePosition) {
    EXPECT_EQ(RunSession("mousedown 100,200\nmouseup 300,400 left\n").out, Data(1) + Data(1));
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 3414 12137 0 0xC001"},
                                               {"mouse 3414 12137 0 0xC003"},
                                               {"mouse 10240 24273 0 0xC001"},
                                               {"mouse 10240 24273 0 0xC005"}}));
    const auto& events = sim::State().mouseEvents;
    ASSERT_EQ(events.size(), 2u);
    // The button was held on the way: the move and the up record, both at 300,400.
    ASSERT_EQ(events[1].path.size(), 2u);
    for (const POINT& p : events[1].path) EXPECT_EQ((std::pair{p.x, p.y}), (std::pair{300, 400}));
    sim::Reset();
    sim::State().cursor = {50, 60};
    EXPECT_EQ(RunSession("mousedown middle\nmouseup M\n").out, Data(1) + Data(1));
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 0 0xC020"}, {"mouse 0 0 0 0xC040"}}));
    EXPECT_EQ(sim::State().mouseEvents[0].x, 50);
    EXPECT_EQ(Answer("mousedown 1,1 left right"), Error("Usage: mousedown [X,Y] [button]"));
    EXPECT_EQ(Answer("mouseup 1,1 2,2"), Error("Usage: mouseup [X,Y] [button]"));
    EXPECT_EQ(Answer("mousedown 1,1 foo"), Error("Invalid button: foo"));
    sim::State().plans = {{1, 0}, {0, 5}};
    EXPECT_EQ(Answer("mousedown 1,1"), Error("Mouse down failed: 5"));
    EXPECT_TRUE(sim::State().heldButtons.empty());
}

TEST_F(InputCommands, DoubleClickIsOneBatchAtOnePositionThatTheSystemTakesAsADoubleClick) {
    EXPECT_EQ(Answer("dclick 100,200"), Data(4));
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 3414 12137 0 0xC001"},
                                               {"mouse 3414 12137 0 0xC003", "mouse 3414 12137 0 0xC005",
                                                "mouse 3414 12137 0 0xC003", "mouse 3414 12137 0 0xC005"}}));
    const auto& events = sim::State().mouseEvents;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_FALSE(events[0].doubleClick);
    EXPECT_TRUE(events[2].doubleClick);
    EXPECT_EQ(Answer("dclick 5,5 right").substr(0, 24), Data(4).substr(0, 24));
    EXPECT_EQ(Answer("dclick"), Error("Usage: dclick X,Y [button]"));
    EXPECT_EQ(Answer("dclick 5"), Error("Invalid coordinates: use X,Y"));
    for (const UINT taken : {1u, 3u}) {  // a down went through without its up
        sim::Reset();
        sim::State().plans = {{1, 0}, {taken, 5}};
        EXPECT_EQ(Answer("dclick 5,5"), Error("Double-click failed: 5")) << taken;
        EXPECT_TRUE(sim::State().heldButtons.empty()) << taken;
    }
}

TEST_F(InputCommands, DragMovesPastTheThresholdThenEvenlyToExactlyTheEndWithTheButtonHeld) {
    sim::State().dragWidth = 4;
    EXPECT_EQ(Answer("drag 100,100 400,250"), Data(13));  // down, 11 moves, up
    const auto& events = sim::State().mouseEvents;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].flag, MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ((std::pair{events[0].x, events[0].y}), (std::pair{100, 100}));
    EXPECT_EQ(events[1].flag, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ((std::pair{events[1].x, events[1].y}), (std::pair{400, 250}));
    const std::vector<POINT>& path = events[1].path;
    ASSERT_EQ(path.size(), 12u);    // 11 steps and the release, which carries its position
    EXPECT_GT(path[0].x - 100, 4);  // the first step leaves the drag rectangle
    EXPECT_LE(path[0].x - 100, 6);
    for (std::size_t i = 2; i < 11; ++i) {  // the rest evenly spaced, to within rounding
        EXPECT_NEAR(path[i].x - path[i - 1].x, (400 - path[0].x) / 10.0, 1.0) << i;
    }
    EXPECT_EQ((std::pair{path[10].x, path[10].y}), (std::pair{400, 250}));
    // The default 100 ms spread over the 11 pauses, exactly.
    DWORD total = 0;
    for (const DWORD ms : sim::State().sleeps) total += ms;
    EXPECT_EQ(total, 100u);
    EXPECT_EQ(sim::State().sleeps.size(), 11u);
}

TEST_F(InputCommands, DragTakesAButtonAndADurationAndAShortDragStillStartsAsOne) {
    EXPECT_EQ(Answer("drag 10,10 12,10 right 0"), Data(13));
    const auto& events = sim::State().mouseEvents;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].flag, MOUSEEVENTF_RIGHTDOWN);
    EXPECT_GT(events[1].path.front().x - 10, 4);  // out past the threshold first
    EXPECT_EQ((std::pair{events[1].x, events[1].y}), (std::pair{12, 10}));
    EXPECT_TRUE(sim::State().sleeps.empty());
    sim::Reset();
    EXPECT_EQ(Answer("drag 10,10 500,10 250"), Data(13));
    DWORD total = 0;
    for (const DWORD ms : sim::State().sleeps) total += ms;
    EXPECT_EQ(total, 250u);
    EXPECT_EQ(Answer("drag 1,1"), Error("Usage: drag X1,Y1 X2,Y2 [button] [MS]"));
    EXPECT_EQ(Answer("drag 1,1 2,2 left 5 6"), Error("Usage: drag X1,Y1 X2,Y2 [button] [MS]"));
    EXPECT_EQ(Answer("drag 1,1 2"), Error("Invalid coordinates: use X,Y"));
    EXPECT_EQ(Answer("drag 1,1 2,2 -5"), Error("Invalid duration: MS must not be negative"));
    EXPECT_EQ(Answer("drag 1,1 2,2 foo"), Error("Invalid button: foo"));
}

TEST_F(InputCommands, ARefusedDragReleasesTheButtonBeforeItAnswers) {
    // The move to the start, then each of the drag's batches in turn is the one refused.
    for (std::size_t taken = 1; taken <= 13; ++taken) {
        const std::size_t refused = taken;
        sim::Reset();
        for (std::size_t i = 0; i < taken; ++i) sim::State().plans.push_back({1, 0});
        sim::State().plans.push_back({0, 5});  // the batch after `refused` taken ones
        const std::string answer = Answer("drag 10,10 300,300 left 0");
        EXPECT_EQ(answer, Error("Drag failed: 5")) << refused;
        EXPECT_TRUE(sim::State().heldButtons.empty()) << refused;
    }
}

TEST_F(InputCommands, HorizontalScrollAndMoveBy) {
    EXPECT_EQ(RunSession("hscroll 120 100,200\nhscroll -240\n").out, Data(1) + Data(1));
    EXPECT_EQ(Batches(),
              (std::vector<Strings>{
                  {"mouse 3414 12137 0 0xC001"}, {"mouse 3414 12137 120 0xD001"}, {"mouse 0 0 -240 0xD000"}}));
    EXPECT_EQ(sim::State().mouseEvents[0].flag, MOUSEEVENTF_HWHEEL);
    EXPECT_EQ(sim::State().mouseEvents[1].wheel, -240);
    EXPECT_EQ(Answer("hscroll"), Error("Usage: hscroll N [X,Y]"));

    sim::Reset();
    sim::SetScreen(-1280, 0, 3200, 1080, 1920, 1080);
    sim::State().cursor = {100, 100};
    EXPECT_EQ(RunSession("moveby -50,25\npos\nmoveby -99999,99999\npos\nmoveby 2147483647,-2147483647\npos\n").out,
              Data(1) + "{\"status\":\"ok\",\"x\":50,\"y\":125}\n" + Data(1) +
                  "{\"status\":\"ok\",\"x\":-1280,\"y\":1079}\n" + Data(1) +
                  "{\"status\":\"ok\",\"x\":1919,\"y\":0}\n");
    EXPECT_EQ(Answer("moveby"), Error("Usage: moveby DX,DY"));
    EXPECT_EQ(Answer("moveby 5"), Error("Invalid coordinates"));
    sim::State().cursorAvailable = false;
    EXPECT_EQ(Answer("moveby 1,1"), Error("Failed to get cursor position"));
}

TEST_F(InputCommands, TypeJsonTypesExactlyTheTextWithLineBreaksAsEnter) {
    sim::State().foreground = sim::AddWindow("editor");
    const Transcript t = RunSession(R"(typejson "  He said \"hi\"\\ \r\nnext\nlast\rtab\there\u0001 é" )"
                                    "\n");
    ASSERT_EQ(t.out.rfind("{\"status\":\"ok\",\"data\":", 0), 0u) << t.out;
    EXPECT_EQ(sim::State().layoutText, "  He said \"hi\"\\ \rnext\rlast\rtab\there ");
    EXPECT_EQ(sim::State().typedUnits, std::vector<std::uint32_t>{0xE9});
    // Enter is the plain Enter key, never Ctrl+Enter (which is what the layout gives a line feed).
    for (const KEYBDINPUT& k : sim::AllKeyRecords()) EXPECT_NE(k.wVk, VK_CONTROL);
}

TEST_F(InputCommands, TypeJsonPausesBetweenCharactersOnly) {
    EXPECT_EQ(Answer(R"(typejson "abc" 30)"), Data(6));
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{30, 30}));
    sim::Reset();
    EXPECT_EQ(Answer(R"(TYPEJSON "x")"), Data(2));
    EXPECT_TRUE(sim::State().sleeps.empty());
}

TEST_F(InputCommands, TypeJsonErrors) {
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

TEST_F(InputCommands, ClipboardRoundTripsAnyTextAndWaitsOutABusyHolder) {
    EXPECT_EQ(Answer("clipboard"), "{\"status\":\"ok\",\"text\":\"\"}\n");
    EXPECT_EQ(Answer(R"(setclipboard "caf\u00e9 \ud83d\ude00 \"q\" \\ line\nnext\t!")"), kOk);
    EXPECT_EQ(sim::State().clipboardText, "caf\xC3\xA9 \xF0\x9F\x98\x80 \"q\" \\ line\nnext\t!");
    EXPECT_EQ(Answer("clipboard"),
              "{\"status\":\"ok\",\"text\":\"caf\xC3\xA9 \xF0\x9F\x98\x80 \\\"q\\\" \\\\ line\\nnext\\t!\"}\n");
    EXPECT_EQ(sim::State().globalBlocks, 0);  // the block went to the clipboard
    EXPECT_FALSE(sim::State().clipboardOpen);

    sim::State().clipboardBusyTries = 5;  // another program lets go after five tries
    EXPECT_EQ(Answer(R"(setclipboard "")"), kOk);
    EXPECT_EQ(sim::State().clipboardText, "");
    sim::State().clipboardBusyTries = 1000000;  // and one that never does
    const ULONGLONG started = sim::State().tickCount;
    EXPECT_EQ(Answer("clipboard"), Error("Clipboard is busy"));
    EXPECT_EQ(Answer(R"(setclipboard "x")"), Error("Clipboard is busy"));
    EXPECT_LE(sim::State().tickCount - started, 2u * 1001u);  // each gave up after a second
    EXPECT_EQ(sim::State().globalBlocks, 0);
    EXPECT_FALSE(sim::State().clipboardOpen);
}

TEST_F(InputCommands, SetClipboardErrors) {
    const std::string usage = Error("Usage: setclipboard \\\"text\\\"");
    EXPECT_EQ(Answer("setclipboard"), usage);
    EXPECT_EQ(Answer(R"(setclipboard "a" b)"), usage);
    EXPECT_EQ(Answer(R"(setclipboard "a\u0000b")"), Error("Clipboard text cannot hold U+0000"));
    EXPECT_EQ(Answer(R"(setclipboard 'a')"), Error("Invalid JSON string: expected a quote at byte 0"));
    EXPECT_FALSE(sim::State().clipboardHasText);
}

}  // namespace

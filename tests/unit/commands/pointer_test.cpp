#include "support/records.h"
#include "support/answers.h"
#include "support/session.h"

namespace {

using Strings = std::vector<std::string>;
using PointerCommands = DesktopTest;

const std::string kClicked = "{\"status\":\"ok\",\"data\":2}\n";
const std::string kOne = "{\"status\":\"ok\",\"data\":1}\n";

TEST_F(PointerCommands, UsageAndArgumentErrors) {
    const std::pair<const char*, std::string> cases[] = {
        {"click", Error("Usage: click X,Y [button]")},
        {"rclick", Error("Usage: click X,Y [button]")},
        {"click 10", Error("Invalid coordinates: use X,Y")},
        {"rclick 10", Error("Invalid coordinates: use X,Y")},
        {"move", Error("Usage: move X,Y")},
        {"move 10", Error("Invalid coordinates")},
        {"scroll", Error("Usage: scroll N [X,Y]")},
        {"click 10, 20", Error("Exception: invalid stoi argument")},
        {"click a,b", Error("Exception: invalid stoi argument")},
        {"scroll up", Error("Exception: invalid stoi argument")},
        {"click 3000000000,5", Error("Exception: stoi argument out of range")},
        {"move 5,99999999999", Error("Exception: stoi argument out of range")},
        {"scroll 120 a,5", Error("Exception: invalid stoi argument")},
        {"click 10,20 foo", Error("Invalid button: foo")},
        {"click 10,20 C:\\x", Error("Invalid button: C:\\\\x")},
    };
    for (const auto& [line, answer] : cases) EXPECT_EQ(Answer(line), answer) << line;
}

TEST_F(PointerCommands, ClickReadsItsPositionTheWayTheParserDoes) {
    const std::pair<const char*, std::pair<int, int>> cases[] = {
        {"click 10,20", {10, 20}}, {"CLICK 10,20", {10, 20}},       {"Click 10,20,30", {10, 20}},
        {"click 1.5,2.5", {1, 2}}, {"click \" 10, 20\"", {10, 20}}, {"\"click\" 10,20", {10, 20}},
        {"click +7,-0", {7, 0}},
    };
    for (const auto& [line, at] : cases) {
        sim::Reset();
        EXPECT_EQ(Answer(line), kClicked) << line;
        ASSERT_FALSE(sim::State().mouseEvents.empty()) << line;
        EXPECT_EQ(sim::State().mouseEvents[0].x, at.first) << line;
        EXPECT_EQ(sim::State().mouseEvents[0].y, at.second) << line;
    }
}

TEST_F(PointerCommands, ButtonDefaultsAndOverrides) {
    const std::pair<const char*, DWORD> cases[] = {
        {"click 10,20", MOUSEEVENTF_LEFTDOWN},
        {"rclick 10,20", MOUSEEVENTF_RIGHTDOWN},
        {"rclick 10,20 left", MOUSEEVENTF_LEFTDOWN},
        {"click 10,20 MIDDLE", MOUSEEVENTF_MIDDLEDOWN},
        {"click 10,20 secondary extra", MOUSEEVENTF_RIGHTDOWN},
    };
    for (const auto& [line, down] : cases) {
        sim::Reset();
        EXPECT_EQ(Answer(line), kClicked) << line;
        ASSERT_EQ(sim::State().mouseEvents.size(), 2u) << line;
        EXPECT_EQ(sim::State().mouseEvents[0].flag, down) << line;
    }
}

TEST_F(PointerCommands, InvalidButtonStillMovesThePointer) {
    EXPECT_EQ(Answer("click 10,20 foo"), Error("Invalid button: foo"));
    EXPECT_EQ(sim::State().cursor.x, 10);
    EXPECT_EQ(sim::State().cursor.y, 20);
    EXPECT_TRUE(sim::State().mouseEvents.empty());
}

TEST_F(PointerCommands, NegativeClickOnOneMonitorClicksWhereThePointerIs) {
    sim::State().cursor = {700, 800};
    EXPECT_EQ(Answer("click -1,5"), kClicked);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 0 0xC002", "mouse 0 0 0 0xC004"}}));
    EXPECT_EQ(sim::State().mouseEvents[0].x, 700);
}

TEST_F(PointerCommands, NegativeClickOnAMonitorLeftOfThePrimaryGoesThere) {
    sim::SetScreen(-1280, 0, 3200, 1080, 1920, 1080);
    EXPECT_EQ(Answer("click -500,300"), kClicked);
    EXPECT_EQ(sim::State().mouseEvents[0].x, -500);
    EXPECT_EQ(sim::State().mouseEvents[0].y, 300);
}

TEST_F(PointerCommands, MoveAndScrollAnswerOneEvent) {
    EXPECT_EQ(RunSession("move 100,200\npos\n").out, kOne + "{\"status\":\"ok\",\"x\":100,\"y\":200}\n");
    sim::Reset();
    sim::State().cursor = {5, 6};
    EXPECT_EQ(Answer("scroll 120 500"), kOne);  // no comma: no position, no error
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 120 0xC800"}}));
    sim::Reset();
    EXPECT_EQ(Answer("scroll -120 100,100"), kOne);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 3414 6069 0 0xC001"}, {"mouse 3414 6069 -120 0xC801"}}));
    sim::Reset();
    EXPECT_EQ(Answer("scroll 1.9"), kOne);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 1 0xC800"}}));
}

TEST_F(PointerCommands, ScrollWithoutPositionStaysPutWhereMinusOneIsAPixel) {
    sim::SetScreen(-1280, -1024, 3200, 2104, 1920, 1080);
    sim::State().cursor = {400, 300};
    EXPECT_EQ(Answer("scroll 240"), kOne);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 240 0xC800"}}));
    EXPECT_EQ(sim::State().mouseEvents[0].x, 400);
    EXPECT_EQ(sim::State().mouseEvents[0].y, 300);
}

TEST_F(PointerCommands, ActionFailuresReachTheClientUnchanged) {
    sim::State().plans = {{0, 5}};
    EXPECT_EQ(Answer("move 1,1"), Error("SendInput move failed: 5"));
    sim::State().plans = {{1, 0}, {1, 5}};
    EXPECT_EQ(Answer("rclick 1,1"), Error("Click failed: 5"));
    sim::State().plans = {{0, 1400}};
    EXPECT_EQ(Answer("scroll 1"), Error("Scroll failed: 1400"));
}

TEST_F(PointerCommands, PosAndScreenIgnoreArguments) {
    sim::SetScreen(-1920, 0, 3840, 1080, 1920, 1080);
    sim::State().cursor = {-1919, 1079};
    EXPECT_EQ(RunSession("pos\nPOS now\nscreen\nscreen 2\n").out,
              "{\"status\":\"ok\",\"x\":-1919,\"y\":1079}\n{\"status\":\"ok\",\"x\":-1919,\"y\":1079}\n"
              "{\"status\":\"ok\",\"left\":-1920,\"top\":0,\"right\":1920,\"bottom\":1080}\n"
              "{\"status\":\"ok\",\"left\":-1920,\"top\":0,\"right\":1920,\"bottom\":1080}\n");
    sim::State().cursorAvailable = false;
    EXPECT_EQ(Answer("pos"), Error("Failed to get cursor position"));
}

TEST_F(PointerCommands, MouseDownAndUpMoveWhenAskedAndCarryThePosition) {
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

TEST_F(PointerCommands, DoubleClickIsOneBatchAtOnePositionThatTheSystemTakesAsADoubleClick) {
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

TEST_F(PointerCommands, DragMovesPastTheThresholdThenEvenlyToExactlyTheEndWithTheButtonHeld) {
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

TEST_F(PointerCommands, DragTakesAButtonAndADurationAndAShortDragStillStartsAsOne) {
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

TEST_F(PointerCommands, ARefusedDragReleasesTheButtonBeforeItAnswers) {
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

TEST_F(PointerCommands, HorizontalScrollAndMoveBy) {
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

}  // namespace

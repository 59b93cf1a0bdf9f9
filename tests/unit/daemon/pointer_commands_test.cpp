#include "support/records.h"
#include "support/session.h"

namespace {

using Strings = std::vector<std::string>;
using PointerCommands = DesktopTest;

std::string Error(const std::string& message) { return "{\"status\":\"error\",\"message\":\"" + message + "\"}\n"; }
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

}  // namespace

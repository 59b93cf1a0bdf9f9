#include "pointer/cursor_position.h"
#include "pointer/display_geometry.h"
#include "pointer/mouse_actions.h"
#include "support/records.h"
#include "support/session.h"

namespace {

using Strings = std::vector<std::string>;
using MouseActions = DesktopTest;

void ExpectResult(const ActionResult& r, bool success, const std::string& message, std::uint32_t count) {
    EXPECT_EQ(r.success, success);
    EXPECT_EQ(r.message, message);
    EXPECT_EQ(r.count, count);
}

TEST_F(MouseActions, MoveSendsOneAbsoluteVirtualDeskRecordAndLandsOnItsPixel) {
    struct Case {
        int x, y;
        const char* record;
        int landX, landY;
    };
    const Case cases[] = {
        {960, 540, "mouse 32768 32768 0 0xC001", 960, 540},
        {5000, -20, "mouse 65502 0 0 0xC001", 1919, 0},  // clamped into the screen
    };
    for (const Case& c : cases) {
        sim::Reset();
        ExpectResult(MoveMouse(c.x, c.y), true, "", 1);
        EXPECT_EQ(Batches(), (std::vector<Strings>{{c.record}})) << c.x << "," << c.y;
        EXPECT_EQ(sim::State().cursor.x, c.landX) << c.x << "," << c.y;
        EXPECT_EQ(sim::State().cursor.y, c.landY) << c.x << "," << c.y;
    }
}

TEST_F(MouseActions, ClickMovesThenSendsDownAndUpInOneCall) {
    ExpectResult(ClickMouse(100, 200, "left"), true, "", 2);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 3414 12137 0 0xC001"},
                                               {"mouse 3414 12137 0 0xC003", "mouse 3414 12137 0 0xC005"}}));
    ASSERT_EQ(sim::State().mouseEvents.size(), 2u);
    EXPECT_EQ(sim::State().mouseEvents[0].x, 100);
    EXPECT_EQ(sim::State().mouseEvents[0].y, 200);
    EXPECT_TRUE(sim::State().heldButtons.empty());
    EXPECT_TRUE(sim::State().sleeps.empty());
}

TEST_F(MouseActions, ButtonNamesInAnyCase) {
    const std::pair<const char*, std::pair<DWORD, DWORD>> cases[] = {
        {"LEFT", {0xC003, 0xC005}},   {"l", {0xC003, 0xC005}}, {"Primary", {0xC003, 0xC005}},
        {"Right", {0xC009, 0xC011}},  {"R", {0xC009, 0xC011}}, {"SECONDARY", {0xC009, 0xC011}},
        {"Middle", {0xC021, 0xC041}}, {"m", {0xC021, 0xC041}},
    };
    for (const auto& [name, flags] : cases) {
        sim::Reset();
        ExpectResult(ClickMouse(10, 10, name), true, "", 2);
        ASSERT_EQ(sim::State().batches.size(), 2u) << name;
        EXPECT_EQ(sim::State().batches[1][0].mi.dwFlags, flags.first) << name;
        EXPECT_EQ(sim::State().batches[1][1].mi.dwFlags, flags.second) << name;
    }
}

TEST_F(MouseActions, InvalidButtonMovesAndFailsWithTheNameAsPassed) {
    for (const char* name : {"Foo", "x1", "", "lef", "left "}) {
        sim::Reset();
        ExpectResult(ClickMouse(100, 200, name), false, std::string("Invalid button: ") + name, 0);
        EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 3414 12137 0 0xC001"}})) << name;
    }
}

TEST_F(MouseActions, ButtonAndWheelRecordsLandWhereTheCommandSaysWhateverMovesThePointerBetween) {
    // The hand moves the pointer after the move and before the button (or wheel) records.
    sim::State().handMoves = {{0, 0}, {1500, 900}};
    ExpectResult(ClickMouse(100, 200, "left"), true, "", 2);
    sim::State().handMoves = {{0, 0}, {1500, 900}};
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, -120, 960, 540), true, "", 1);
    const auto& events = sim::State().mouseEvents;
    ASSERT_EQ(events.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(events[i].x, 100) << i;
        EXPECT_EQ(events[i].y, 200) << i;
    }
    EXPECT_EQ(events[2].x, 960);
    EXPECT_EQ(events[2].y, 540);
}

TEST_F(MouseActions, ClickWithoutPositionLandsWhereThePointerIs) {
    sim::State().cursor = {300, 400};
    ExpectResult(ClickMouse(-1, 200, "left"), true, "", 2);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 0 0xC002", "mouse 0 0 0 0xC004"}}));
    EXPECT_EQ(sim::State().mouseEvents[0].x, 300);
    EXPECT_EQ(sim::State().mouseEvents[0].y, 400);
}

TEST_F(MouseActions, ScrollAtThePointerOrAtAPosition) {
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, 120, kNoPosition, kNoPosition), true, "", 1);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 120 0xC800"}}));
    sim::Reset();
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, -240, 960, 540), true, "", 1);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 32768 32768 0 0xC001"}, {"mouse 32768 32768 -240 0xC801"}}));
    ASSERT_EQ(sim::State().mouseEvents.size(), 1u);
    EXPECT_EQ(sim::State().mouseEvents[0].wheel, -240);
    EXPECT_EQ(sim::State().mouseEvents[0].x, 960);
    sim::Reset();
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, 0, -1, -1), true, "", 1);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 0 0xC800"}}));
}

TEST_F(MouseActions, RefusedMoveEndsEveryActionWithTheMoveMessage) {
    const auto refuseNext = [] { sim::State().plans.push_back({0, 5}); };
    refuseNext();
    ExpectResult(MoveMouse(1, 1), false, "SendInput move failed: 5", 0);
    refuseNext();
    ExpectResult(ClickMouse(1, 1, "left"), false, "SendInput move failed: 5", 0);
    refuseNext();
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, 120, 1, 1), false, "SendInput move failed: 5", 0);
    EXPECT_EQ(sim::State().batches.size(), 3u);  // nothing after any refused move
}

TEST_F(MouseActions, RefusedClickAndScroll) {
    sim::State().plans = {{1, 0}, {0, 1400}};
    ExpectResult(ClickMouse(1, 1, "left"), false, "Click failed: 1400", 0);
    EXPECT_EQ(sim::State().batches.size(), 2u);
    sim::State().plans = {{0, 5}};
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, 120, kNoPosition, kNoPosition), false, "Scroll failed: 5", 0);
}

TEST_F(MouseActions, PartlyAcceptedClickReleasesTheButton) {
    sim::State().plans = {{1, 0}, {1, 87}};
    ExpectResult(ClickMouse(100, 200, "right"), false, "Click failed: 87", 1);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 3414 12137 0 0xC001"},
                                               {"mouse 3414 12137 0 0xC009", "mouse 3414 12137 0 0xC011"},
                                               {"mouse 3414 12137 0 0xC011"}}));
    EXPECT_TRUE(sim::State().heldButtons.empty());
}

TEST_F(MouseActions, ScreenWithoutSizeSendsNothing) {
    sim::SetScreen(0, 0, 0, 0, 0, 0);
    const std::string message(kNoScreenSize);
    ExpectResult(MoveMouse(10, 10), false, message, 0);
    ExpectResult(ClickMouse(10, 10, "left"), false, message, 0);
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, 120, 10, 10), false, message, 0);
    EXPECT_TRUE(sim::State().batches.empty());
    // Without a position there is nothing to map, and the click still goes where the pointer is.
    ExpectResult(ClickMouse(-1, -1, "left"), true, "", 2);
}

TEST_F(MouseActions, MonitorLeftOfThePrimaryIsReachable) {
    sim::SetScreen(-1280, 0, 3200, 1080, 1920, 1080);
    for (const auto& [x, y] : {std::pair{-1280, 0}, std::pair{-1, 500}, std::pair{0, 0}, std::pair{1919, 1079}}) {
        ASSERT_TRUE(MoveMouse(x, y).success);
        EXPECT_EQ(sim::State().cursor.x, x);
        EXPECT_EQ(sim::State().cursor.y, y);
    }
    ExpectResult(ClickMouse(-500, 300, "left"), true, "", 2);
    EXPECT_EQ(sim::State().mouseEvents.back().x, -500);
    EXPECT_EQ(sim::State().mouseEvents.back().y, 300);
    ExpectResult(TurnWheel(MOUSEEVENTF_WHEEL, 120, -700, 20), true, "", 1);
    EXPECT_EQ(sim::State().mouseEvents.back().x, -700);
    EXPECT_EQ(sim::State().mouseEvents.back().wheel, 120);
}

TEST_F(MouseActions, MonitorAboveAndLeftOfThePrimaryIsReachable) {
    sim::SetScreen(-1280, -1024, 3200, 2104, 1920, 1080);
    ASSERT_TRUE(MoveMouse(-1, -1).success);
    EXPECT_EQ(sim::State().cursor.x, -1);
    EXPECT_EQ(sim::State().cursor.y, -1);
    ASSERT_TRUE(ClickMouse(-1000, -1000, "middle").success);
    EXPECT_EQ(sim::State().mouseEvents.back().x, -1000);
    EXPECT_EQ(sim::State().mouseEvents.back().y, -1000);
    // No position given: the wheel turns where the pointer is, though -1,-1 is a pixel here.
    sim::State().cursor = {50, 60};
    sim::State().batches.clear();
    ASSERT_TRUE(TurnWheel(MOUSEEVENTF_WHEEL, -120, kNoPosition, kNoPosition).success);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"mouse 0 0 -120 0xC800"}}));
    EXPECT_EQ(sim::State().mouseEvents.back().x, 50);
    EXPECT_EQ(sim::State().mouseEvents.back().y, 60);
}

using Geometry = DesktopTest;

TEST_F(Geometry, BoundsFollowTheMonitorLayoutAtEveryCall) {
    const auto bounds = [] {
        const Rect b = GetVirtualScreenBounds();
        return std::vector<int>{b.left, b.top, b.right, b.bottom};
    };
    EXPECT_EQ(bounds(), (std::vector<int>{0, 0, 1920, 1080}));
    EXPECT_EQ(sim::State().metricReads, (std::vector<int>{76, 77, 76, 78, 77, 79}));
    sim::SetScreen(-1280, 0, 3200, 1080, 1920, 1080);
    EXPECT_EQ(bounds(), (std::vector<int>{-1280, 0, 1920, 1080}));
    sim::SetScreen(0, -1024, 1920, 2104, 1920, 1080);
    EXPECT_EQ(bounds(), (std::vector<int>{0, -1024, 1920, 1080}));
    sim::SetScreen(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(bounds(), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(Geometry, CursorPositionIsReportedUnchangedOrNotAtAll) {
    sim::SetScreen(-1280, -1024, 3200, 2104, 1920, 1080);
    sim::State().cursor = {-1280, -7};
    const auto pos = GetCursorPosition();
    ASSERT_TRUE(pos.has_value());
    EXPECT_EQ(pos->x, -1280);
    EXPECT_EQ(pos->y, -7);
    sim::State().cursorAvailable = false;
    EXPECT_FALSE(GetCursorPosition().has_value());
}

}  // namespace

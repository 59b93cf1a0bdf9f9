#include "pointer/coordinate_mapping.h"
#include "pointer/mouse_actions.h"
#include "support/session.h"

#include <vector>

namespace {

using CoordinateMapping = DesktopTest;

std::pair<int, int> Mapped(int x, int y) {
    std::int32_t absX = -1;
    std::int32_t absY = -1;
    EXPECT_TRUE(ScreenToAbsolute(x, y, absX, absY));
    return {absX, absY};
}

TEST_F(CoordinateMapping, SingleMonitorTable) {
    const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{0, 0}, {0, 0}},
        {{1, 1}, {35, 61}},
        {{100, 200}, {3414, 12137}},
        {{960, 540}, {32768, 32768}},
        {{1919, 1079}, {65502, 65476}},
        {{1920, 1080}, {65502, 65476}},  // clamped to the last pixel
        {{5000, 100}, {65502, 6069}},
        {{-5, 100}, {0, 6069}},
        {{-2147483647 - 1, 2147483647}, {0, 65476}},
    };
    for (const auto& [pixel, abs] : cases) {
        EXPECT_EQ(Mapped(pixel.first, pixel.second), abs) << pixel.first << "," << pixel.second;
    }
}

TEST_F(CoordinateMapping, VirtualScreenLeftOfThePrimary) {
    sim::SetScreen(-1280, 0, 3200, 1080, 1920, 1080);
    EXPECT_EQ(Mapped(-1280, 0).first, 0);
    EXPECT_EQ(Mapped(-1, 0).first, 26194);
    EXPECT_EQ(Mapped(0, 0).first, 26215);
    EXPECT_EQ(Mapped(1919, 0).first, 65516);
    EXPECT_EQ(Mapped(-3000, 0).first, 0);
}

TEST_F(CoordinateMapping, WideScreensKeepTheProductExact) {
    sim::SetScreen(0, 0, 40000, 1080, 40000, 1080);
    EXPECT_EQ(Mapped(39999, 0).first, 65535);  // 39999 * 65536 does not fit in 32 bits
    sim::SetScreen(0, 0, 70000, 1080, 70000, 1080);
    EXPECT_EQ(Mapped(69999, 0).first, 65535);  // beyond 65536 pixels the range saturates
}

TEST_F(CoordinateMapping, ScreenWithoutSizeMapsNothing) {
    for (const auto& [w, h] : {std::pair{0, 1080}, std::pair{1920, 0}, std::pair{-5, 1080}}) {
        sim::SetScreen(0, 0, w, h, 1920, 1080);
        std::int32_t absX = 7;
        std::int32_t absY = 7;
        EXPECT_FALSE(ScreenToAbsolute(10, 10, absX, absY));
        EXPECT_EQ(absX, 0);
        EXPECT_EQ(absY, 0);
    }
}

// Every pixel of a row and of a column, moved to and read back through the platform's decoding.
void ExpectEveryPixelRoundTrips(int left, int top, int width, int height) {
    sim::Reset();
    sim::SetScreen(left, top, width, height, width, height);
    for (int x = left; x < left + width; ++x) {
        ASSERT_TRUE(MoveMouse(x, top + height - 1).success);
        ASSERT_EQ(sim::State().cursor.x, x) << "width " << width;
        ASSERT_EQ(sim::State().cursor.y, top + height - 1);
        sim::State().batches.clear();
        sim::State().metricReads.clear();
    }
    for (int y = top; y < top + height; ++y) {
        ASSERT_TRUE(MoveMouse(left, y).success);
        ASSERT_EQ(sim::State().cursor.y, y) << "height " << height;
        sim::State().batches.clear();
        sim::State().metricReads.clear();
    }
}

TEST_F(CoordinateMapping, EveryPixelRoundTripsThroughThePlatformDecoding) {
    ExpectEveryPixelRoundTrips(0, 0, 1920, 1080);
    ExpectEveryPixelRoundTrips(0, 0, 1366, 768);
    ExpectEveryPixelRoundTrips(0, 0, 3840, 2160);
    ExpectEveryPixelRoundTrips(0, 0, 1, 1);
    ExpectEveryPixelRoundTrips(0, 0, 7, 3);
    ExpectEveryPixelRoundTrips(-1280, 0, 3200, 1080);
    ExpectEveryPixelRoundTrips(-2560, -1440, 5120, 2880);
    ExpectEveryPixelRoundTrips(0, 0, 65536, 2);
    ExpectEveryPixelRoundTrips(-30000, 0, 60001, 9);
}

TEST_F(CoordinateMapping, IsPositionOnlyRejectsNegativePointsOutsideTheScreen) {
    EXPECT_TRUE(IsPosition(0, 0));
    EXPECT_TRUE(IsPosition(5000, 5000));  // positive means a position, clamped later
    EXPECT_FALSE(IsPosition(-1, 5));
    EXPECT_FALSE(IsPosition(5, -1));
    EXPECT_FALSE(IsPosition(kNoPosition, kNoPosition));
    sim::SetScreen(-1280, -1024, 3200, 2104, 1920, 1080);
    EXPECT_TRUE(IsPosition(-500, 300));
    EXPECT_TRUE(IsPosition(-1, -1));
    EXPECT_TRUE(IsPosition(100, -1024));
    EXPECT_FALSE(IsPosition(-1281, 0));
    EXPECT_FALSE(IsPosition(0, -1025));
    // The right and bottom edges are exclusive: one pixel short is inside, the edge is not.
    EXPECT_TRUE(IsPosition(1919, -5));
    EXPECT_FALSE(IsPosition(1920, -5));
    EXPECT_TRUE(IsPosition(-5, 1079));
    EXPECT_FALSE(IsPosition(-5, 1080));
    EXPECT_TRUE(IsPosition(-1280, -1024));
    EXPECT_FALSE(IsPosition(kNoPosition, kNoPosition));
}

}  // namespace

#include "screen/capture.h"
#include "screen/file_writer.h"
#include "support/session.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Capture = DesktopTest;

std::uint32_t ColourAt(const CapturedPixels& c, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = c.pixels + c.stride * y + std::size_t{4} * x;
    return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

TEST_F(Capture, CopiesTheScreenPixelForPixelAtVirtualScreenCoordinates) {
    sim::SetScreen(-1280, -200, 3200, 1280, 1920, 1080);
    sim::Paint(-10, -5, 20, 10, 0x123456);
    ScreenCapture capture;
    DWORD error = 0;
    const CapturedPixels c = capture.Capture(Rect{-12, -6, -12 + 30, -6 + 20}, error);
    ASSERT_NE(c.pixels, nullptr);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(c.width, 30u);
    EXPECT_EQ(c.height, 20u);
    for (std::uint32_t y = 0; y < c.height; ++y) {
        for (std::uint32_t x = 0; x < c.width; ++x) {
            ASSERT_EQ(ColourAt(c, x, y), sim::PixelAt(-12 + static_cast<int>(x), -6 + static_cast<int>(y)))
                << x << "," << y;
        }
    }
    EXPECT_EQ(ColourAt(c, 2, 1), 0x123456u);
    EXPECT_EQ(ColourAt(c, 0, 0), sim::Wallpaper(-12, -6));
    // A plain copy: CAPTUREBLT would make the pointer flicker.
    EXPECT_EQ(sim::State().blitRops, std::vector<DWORD>{SRCCOPY});
}

TEST_F(Capture, KeepsItsBitmapForTheNextCaptureOfTheSameSizeAndLeaksNothing) {
    {
        ScreenCapture capture;
        DWORD error = 0;
        for (int i = 0; i < 5; ++i) ASSERT_NE(capture.Capture(Rect{i, i, i + 64, i + 48}, error).pixels, nullptr);
        EXPECT_EQ(sim::State().dibSections, 1);
        ASSERT_NE(capture.Capture(Rect{0, 0, 0 + 65, 0 + 48}, error).pixels, nullptr);
        EXPECT_EQ(sim::State().dibSections, 2);
        EXPECT_EQ(sim::State().gdiObjects, 2);  // one memory DC and the one bitmap it holds now
        EXPECT_EQ(sim::State().screenDcs, 0);   // the screen's DC is given back every time
    }
    EXPECT_EQ(sim::State().gdiObjects, 0);
}

TEST_F(Capture, FailuresCarryTheErrorCodeAndRecover) {
    ScreenCapture capture;
    DWORD error = 0;
    sim::State().refuseDibSection = true;
    EXPECT_EQ(capture.Capture(Rect{0, 0, 0 + 10, 0 + 10}, error).pixels, nullptr);
    EXPECT_EQ(error, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(sim::State().gdiObjects, 0);
    sim::State().refuseDibSection = false;
    sim::State().refuseBitBlt = true;
    EXPECT_EQ(capture.Capture(Rect{0, 0, 0 + 10, 0 + 10}, error).pixels, nullptr);
    EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
    sim::State().refuseBitBlt = false;
    EXPECT_NE(capture.Capture(Rect{0, 0, 0 + 10, 0 + 10}, error).pixels, nullptr);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(sim::State().screenDcs, 0);
}

class WholeFile : public DesktopTest {
   protected:
    void SetUp() override {
        DesktopTest::SetUp();
        dir = std::filesystem::temp_directory_path() / ("marlet-file-test-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
        return names;
    }
    std::filesystem::path dir;
};

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST_F(WholeFile, WritesThroughATemporaryFileBesideTheTarget) {
    const std::filesystem::path target = dir / "shot \xC3\xA9.png";
    const std::string first(100000, 'a');
    ASSERT_EQ(WriteWholeFile(target.string(), Bytes(first)), 0u);
    EXPECT_EQ(Read(target), first);
    ASSERT_EQ(WriteWholeFile(target.string(), Bytes("second")), 0u);  // replaces it
    EXPECT_EQ(Read(target), "second");
    EXPECT_EQ(Entries(), std::vector<std::string>{"shot \xC3\xA9.png"});
    ASSERT_EQ(sim::State().filesCreated.size(), 2u);
    EXPECT_NE(sim::State().filesCreated[0], target.string());  // never written in place
    EXPECT_EQ(std::filesystem::path(sim::State().filesCreated[0]).parent_path(), dir);
}

TEST_F(WholeFile, AFailureAtAnyStepLeavesTheEarlierFileAndNoTemporaryOne) {
    const std::filesystem::path target = dir / "shot.png";
    ASSERT_EQ(WriteWholeFile(target.string(), Bytes("earlier")), 0u);
    const std::string picture(300000, 'p');
    struct Case {
        const char* what;
        void (*inject)();
        DWORD code;
    } cases[] = {
        {"create", [] { sim::State().failCreate = ERROR_ACCESS_DENIED; }, ERROR_ACCESS_DENIED},
        {"write half-way", [] { sim::State().failWriteAt = 150000; }, ERROR_DISK_FULL},
        {"rename", [] { sim::State().failMove = 32; }, 32},
    };
    for (const Case& c : cases) {
        c.inject();
        EXPECT_EQ(WriteWholeFile(target.string(), Bytes(picture)), c.code) << c.what;
        sim::State().failWriteAt = -1;
        EXPECT_EQ(Read(target), "earlier") << c.what;
        EXPECT_EQ(Entries(), std::vector<std::string>{"shot.png"}) << c.what;
    }
    EXPECT_EQ(WriteWholeFile((dir / "no such folder" / "x.png").string(), Bytes("x")), ERROR_PATH_NOT_FOUND);
}

}  // namespace

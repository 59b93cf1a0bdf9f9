#include "support/png_check.h"
#include "support/answers.h"
#include "support/session.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using ScreenCommands = DesktopTest;

std::vector<std::uint8_t> FromBase64(const std::string& text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') return c - 'A';
        if (c >= 'a' && c <= 'z') return c - 'a' + 26;
        if (c >= '0' && c <= '9') return c - '0' + 52;
        return c == '+' ? 62 : c == '/' ? 63 : -1;
    };
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=') break;
        bits = (bits << 6) | static_cast<std::uint32_t>(value(c));
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> count));
        }
    }
    return out;
}

// The head of a screenshot answer and its picture, decoded.
struct Shot {
    std::string head;
    png_check::Decoded png;
};

Shot Screenshot(const std::string& line) {
    const std::string answer = Answer(line);
    const std::size_t png = answer.find(",\"png\":\"");
    if (png == std::string::npos) return Shot{answer, {}};
    const std::size_t end = answer.find('"', png + 8);
    return Shot{answer.substr(0, png) + answer.substr(end + 1),
                png_check::Decode(FromBase64(answer.substr(png + 8, end - png - 8)))};
}

// The simulated screen's pixels over a rectangle, as RGB bytes.
std::vector<std::uint8_t> ScreenPixels(int left, int top, int width, int height) {
    std::vector<std::uint8_t> rgb;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const std::uint32_t c = sim::PixelAt(x, y);
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                   static_cast<std::uint8_t>(c)});
        }
    }
    return rgb;
}

TEST_F(ScreenCommands, PixelReadsThePaintedScreen) {
    sim::SetScreen(-1920, 0, 3840, 1080, 1920, 1080);
    sim::Paint(-1920, 0, 1, 1, 0xFF8001);
    sim::Paint(1919, 1079, 1, 1, 0x00FF7F);
    EXPECT_EQ(Answer("pixel -1920,0"), "{\"status\":\"ok\",\"r\":255,\"g\":128,\"b\":1}\n");
    EXPECT_EQ(Answer("pixel 1919,1079"), "{\"status\":\"ok\",\"r\":0,\"g\":255,\"b\":127}\n");
    for (const char* outside : {"pixel -1921,0", "pixel 1920,5", "pixel 0,-1", "pixel 0,1080"}) {
        EXPECT_EQ(Answer(outside), Error("Position outside the screen")) << outside;
    }
    EXPECT_EQ(Answer("pixel"), Error("Usage: pixel X,Y"));
    EXPECT_EQ(Answer("pixel 5"), Error("Invalid coordinates: use X,Y"));
    EXPECT_EQ(Answer("pixel x,5"), Error("Exception: invalid stoi argument"));
    sim::State().refuseBitBlt = true;
    EXPECT_EQ(Answer("pixel 5,5"), Error("Screen capture failed: 87"));
}

TEST_F(ScreenCommands, ScreenshotOfTheWholeScreenIsExactlyItsPixels) {
    sim::SetScreen(-300, -100, 700, 400, 400, 300);
    sim::Paint(-5, -5, 10, 10, 0xABCDEF);
    const Shot shot = Screenshot("screenshot");
    EXPECT_EQ(shot.head, "{\"status\":\"ok\",\"left\":-300,\"top\":-100,\"width\":700,\"height\":400}\n");
    ASSERT_EQ(shot.png.error, "");
    EXPECT_TRUE(shot.png.rgb == ScreenPixels(-300, -100, 700, 400));
}

TEST_F(ScreenCommands, AScreenshotFittedToASizeSaysTheRegionAndThePicture) {
    sim::Paint(0, 0, 1920, 1080, 0x000000);
    sim::Paint(100, 100, 2, 2, 0xFFFFFF);  // one 2 x 2 block: one pixel at half the size
    Shot shot = Screenshot("screenshot 0,0,400,300 200x200");
    EXPECT_EQ(shot.head, "{\"status\":\"ok\",\"left\":0,\"top\":0,\"width\":400,\"height\":300,"
                         "\"picturewidth\":200,\"pictureheight\":150}\n");
    ASSERT_EQ(shot.png.error, "");
    ASSERT_EQ(shot.png.width, 200u);
    ASSERT_EQ(shot.png.height, 150u);
    for (std::uint32_t y = 0; y < 150; ++y) {
        for (std::uint32_t x = 0; x < 200; ++x) {
            const std::uint8_t expected = (x == 50 && y == 50) ? 255 : 0;
            ASSERT_EQ(shot.png.rgb[(y * 200 + x) * 3], expected) << x << "," << y;
        }
    }
    // The whole screen into a box; a region that fits already is not enlarged; a path after it.
    EXPECT_EQ(Screenshot("screenshot 1568x1568").head,
              "{\"status\":\"ok\",\"left\":0,\"top\":0,\"width\":1920,\"height\":1080,"
              "\"picturewidth\":1568,\"pictureheight\":882}\n");
    shot = Screenshot("screenshot 10,10,30,20 300x300");
    EXPECT_EQ(shot.head, "{\"status\":\"ok\",\"left\":10,\"top\":10,\"width\":30,\"height\":20,"
                         "\"picturewidth\":30,\"pictureheight\":20}\n");
    EXPECT_TRUE(shot.png.rgb == ScreenPixels(10, 10, 30, 20));
    const std::string path = (std::filesystem::temp_directory_path() / "marlet-fitted-shot.png").string();
    const std::string written = Answer("screenshot 0,0,400,300 40x40 " + path);
    EXPECT_EQ(written.substr(0, written.find(",\"bytes\":")),
              "{\"status\":\"ok\",\"left\":0,\"top\":0,\"width\":400,\"height\":300,\"picturewidth\":40,"
              "\"pictureheight\":30,\"path\":\"" + path + "\"");
    std::filesystem::remove(path);
    EXPECT_EQ(Answer("screenshot 0,0,4,4 2x2 a b"), Error("Usage: screenshot [X,Y,W,H] [PATH]"));
}

TEST_F(ScreenCommands, RegionsAreClippedToTheScreenAndTheAnswerSaysWhatWasTaken) {
    sim::SetScreen(-1280, 0, 3200, 1080, 1920, 1080);
    const struct {
        const char* region;
        int left, top, width, height;
    } cases[] = {
        {"10,20,30,40", 10, 20, 30, 40},
        {"-1300,-10,50,30", -1280, 0, 30, 20},
        {"1900,1070,100,100", 1900, 1070, 20, 10},
        {"-2000,-2000,9000,9000", -1280, 0, 3200, 1080},
        {"+5,6,1,1", 5, 6, 1, 1},
        {"1919,1079,1,1", 1919, 1079, 1, 1},
    };
    for (const auto& c : cases) {
        const Shot shot = Screenshot(std::string("screenshot ") + c.region);
        EXPECT_EQ(shot.head, "{\"status\":\"ok\",\"left\":" + std::to_string(c.left) +
                                 ",\"top\":" + std::to_string(c.top) + ",\"width\":" + std::to_string(c.width) +
                                 ",\"height\":" + std::to_string(c.height) + "}\n")
            << c.region;
        ASSERT_EQ(shot.png.error, "") << c.region;
        EXPECT_TRUE(shot.png.rgb == ScreenPixels(c.left, c.top, c.width, c.height)) << c.region;
    }
    const std::string usage = Error("Usage: screenshot [X,Y,W,H] [PATH]");
    for (const char* line :
         {"screenshot 0,0,0,10", "screenshot 0,0,10,-1", "screenshot 1,2,3,4 a b", "screenshot a.png b.png"}) {
        EXPECT_EQ(Answer(line), usage) << line;
    }
    for (const char* line :
         {"screenshot 1920,0,10,10", "screenshot -1290,0,10,10", "screenshot 0,1080,5,5", "screenshot 0,-50,5,50"}) {
        EXPECT_EQ(Answer(line), Error("Region outside the screen")) << line;
    }
    EXPECT_EQ(Answer("screenshot 1,2,3,99999999999"), Error("Exception: stoi argument out of range"));
}

TEST_F(ScreenCommands, ScreenshotsKeepTheirBitmapAndThePixelsTheirOwn) {
    RunSession("screenshot 0,0,100,100\npixel 5,5\nscreenshot 10,10,100,100\npixel 6,6\nscreenshot 0,0,100,100\n");
    EXPECT_EQ(sim::State().dibSections, 2);  // one 100 x 100, one 1 x 1
    EXPECT_EQ(sim::State().gdiObjects, 0);   // and all of it given back when the daemon ends
}

class ScreenshotFiles : public DesktopTest {
   protected:
    void SetUp() override {
        DesktopTest::SetUp();
        dir = std::filesystem::temp_directory_path() / ("marlet-shot-test-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(ScreenshotFiles, APathTakesTheFileAndTheAnswerSaysWhereAndHowBig) {
    const std::string path = (dir / "a\\b caf\xC3\xA9 shot.png").string();
    const std::string answer = Answer("screenshot 5,6,70,80 \"" + path + "\"");
    // The answer escapes the path it quotes.
    std::string escaped;
    for (const char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const auto size = std::filesystem::file_size(path);
    EXPECT_EQ(answer, "{\"status\":\"ok\",\"left\":5,\"top\":6,\"width\":70,\"height\":80,\"path\":\"" + escaped +
                          "\",\"bytes\":" + std::to_string(size) + "}\n");
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const png_check::Decoded png = png_check::Decode(file);
    ASSERT_EQ(png.error, "");
    EXPECT_TRUE(png.rgb == ScreenPixels(5, 6, 70, 80));
    // Without a region, the whole screen.
    EXPECT_EQ(Answer("screenshot " + (dir / "whole.png").string())
                  .rfind("{\"status\":\"ok\",\"left\":0,\"top\":0,\"width\":1920,\"height\":1080,", 0),
              0u);
}

TEST_F(ScreenshotFiles, AFailedWriteNamesThePathAndTheCode) {
    const std::string path = (dir / "kept.png").string();
    { std::ofstream(path) << "earlier"; }
    sim::State().failWriteAt = 10;
    EXPECT_EQ(Answer("screenshot " + path), Error("Cannot write " + path + ": 112"));
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "earlier");
    EXPECT_EQ(Answer("screenshot " + (dir / "missing" / "x.png").string()),
              Error("Cannot write " + (dir / "missing" / "x.png").string() + ": 3"));
}

}  // namespace

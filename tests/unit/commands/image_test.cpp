#include "image/png_encoder.h"
#include "protocol/base64.h"
#include "support/answers.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The picture commands against the simulated screen, with templates cut from it as a client cuts
// them from a screenshot.
class ImageCommands : public DesktopTest {
   protected:
    void SetUp() override {
        DesktopTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() /
               ("marlet-image-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The PNG of the screen's pixels in (x, y, w, h), as screenshot encodes them.
    static std::vector<std::uint8_t> Cut(int x, int y, int w, int h) {
        std::vector<std::uint8_t> bgrx;
        for (int row = 0; row < h; ++row) {
            for (int col = 0; col < w; ++col) {
                const std::uint32_t rgb = sim::PixelAt(x + col, y + row);
                bgrx.insert(bgrx.end(), {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
                                         static_cast<std::uint8_t>(rgb >> 16), 0});
            }
        }
        PngEncoder encoder;
        const auto png = encoder.Encode(bgrx.data(), std::size_t(w) * 4, static_cast<std::uint32_t>(w),
                                        static_cast<std::uint32_t>(h));
        return {png.begin(), png.end()};
    }
    std::string Save(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static std::string Base64(const std::vector<std::uint8_t>& bytes) {
        std::string text;
        AssignBase64(text, bytes.data(), bytes.size());
        return "base64:" + text;
    }
    static std::string Found(int left, int top, int right, int bottom) {
        return "{\"status\":\"ok\",\"left\":" + std::to_string(left) + ",\"top\":" + std::to_string(top) +
               ",\"right\":" + std::to_string(right) + ",\"bottom\":" + std::to_string(bottom) + "}\n";
    }

    std::filesystem::path dir_;
};

TEST_F(ImageCommands, FindImageFindsACutWhereItWasCutByPathOrInline) {
    // The wallpaper repeats every 256 pixels across: a cut near the top left is found there first.
    const std::string path = Save("button.png", Cut(37, 21, 30, 20));
    EXPECT_EQ(Answer("findimage " + path), Found(37, 21, 67, 41));
    EXPECT_EQ(Answer("findimage " + Base64(Cut(37, 21, 30, 20))), Found(37, 21, 67, 41));
    // In a region, and in one that lies partly off the screen (clipped as screenshot clips it).
    EXPECT_EQ(Answer("findimage " + path + " 100,0,400,300"), Found(293, 21, 323, 41));
    EXPECT_EQ(Answer("findimage " + path + " -500,-500,600,600 0"), Found(37, 21, 67, 41));
    const std::string spaced = Save("a b.png", Cut(37, 21, 30, 20));
    EXPECT_EQ(Answer("findimage \"" + spaced + "\" 0,0,200,200 3"), Found(37, 21, 67, 41));
    // Painted over, it is gone; a region smaller than the template holds none.
    sim::Paint(0, 0, 1920, 1080, 0x336699);
    EXPECT_EQ(Answer("findimage " + path), Error("Image not found"));
    EXPECT_EQ(Answer("findimage " + path + " 0,0,10,10"), Error("Image not found"));
    EXPECT_EQ(Answer("findimages " + path), "{\"status\":\"ok\",\"matches\":[]}\n");
}

TEST_F(ImageCommands, FindImagesListsEveryMatchNoneOverlapping) {
    sim::Paint(0, 0, 1920, 1080, 0x000000);
    sim::Paint(10, 10, 4, 3, 0xFF0000);
    sim::Paint(11, 11, 1, 1, 0x00FF00);
    const std::string path = Save("mark.png", Cut(10, 10, 4, 3));
    sim::Paint(14, 10, 4, 3, 0xFF0000);  // touching the first on its right
    sim::Paint(15, 11, 1, 1, 0x00FF00);
    sim::Paint(1900, 1070, 4, 3, 0xFF0000);
    sim::Paint(1901, 1071, 1, 1, 0x00FF00);
    EXPECT_EQ(Answer("findimages " + path),
              "{\"status\":\"ok\",\"matches\":[{\"left\":10,\"top\":10,\"right\":14,\"bottom\":13},"
              "{\"left\":14,\"top\":10,\"right\":18,\"bottom\":13},"
              "{\"left\":1900,\"top\":1070,\"right\":1904,\"bottom\":1073}]}\n");
    EXPECT_EQ(Answer("findimages " + path + " 12,0,1000,1000"),
              "{\"status\":\"ok\",\"matches\":[{\"left\":14,\"top\":10,\"right\":18,\"bottom\":13}]}\n");
}

TEST_F(ImageCommands, BadArgumentsAndFilesAreNamed) {
    const std::string path = Save("t.png", Cut(0, 0, 5, 5));
    const std::string text = Save("notes.txt", {'h', 'i'});
    std::vector<std::uint8_t> damaged = Cut(0, 0, 5, 5);
    damaged[20] ^= 0xFF;  // the width
    const std::string broken = Save("broken.png", damaged);
    const struct {
        std::string line;
        std::string answer;
    } cases[] = {
        {"findimage", Error("Usage: findimage IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"findimage " + path + " 0,0,5,5 3 4", Error("Usage: findimage IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"findimage " + path + " 1,1 3", Error("Usage: findimage IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"findimages", Error("Usage: findimages IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"findimage " + path + " 256", Error("Invalid tolerance: use 0 to 255")},
        {"findimage " + path + " -1", Error("Invalid tolerance: use 0 to 255")},
        {"findimage " + path + " 0,0,0,5", Error("Usage: findimage IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"findimage " + path + " 5000,0,10,10", Error("Region outside the screen")},
        {"findimage " + (dir_ / "missing.png").string(), Error("Cannot read " + (dir_ / "missing.png").string() + ": 2")},
        {"findimage " + dir_.string(), Error("Cannot read " + dir_.string() + ": 5")},
        {"findimage " + text, Error("Not a PNG: " + text)},
        {"findimage " + broken, Error("Damaged PNG: bad CRC in IHDR")},
        {"findimage base64:", Error("Not a PNG: base64 data")},
        {"findimage base64:aGk=", Error("Not a PNG: base64 data")},
        {"findimage base64:a?b", Error("Invalid image: bad base64")},
        {"waitimage 100", Error("Usage: waitimage MS IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"waitimage -1 " + path, Error("Invalid timeout: MS must not be negative")},
        {"waitimagegone 10", Error("Usage: waitimagegone MS IMAGE [X,Y,W,H] [TOLERANCE]")},
        {"waitpixel 10 5,5", Error("Usage: waitpixel MS X,Y R,G,B [TOLERANCE]")},
        {"waitpixel 10 5,5 1,2,3 4 5", Error("Usage: waitpixel MS X,Y R,G,B [TOLERANCE]")},
        {"waitpixel 10 5 1,2,3", Error("Invalid coordinates: use X,Y")},
        {"waitpixel 10 5,5 1,2", Error("Invalid color: use R,G,B from 0 to 255")},
        {"waitpixel 10 5,5 1,2,256", Error("Invalid color: use R,G,B from 0 to 255")},
        {"waitpixel 10 5,5 1,2,3,4", Error("Invalid color: use R,G,B from 0 to 255")},
        {"waitpixel 10 5,5 1,2,3 300", Error("Invalid tolerance: use 0 to 255")},
        {"waitpixel 10 -1,5 1,2,3", Error("Position outside the screen")},
        {"waitpixel -10 5,5 1,2,3", Error("Invalid timeout: MS must not be negative")},
        {"waitstill 10 0,0,5,5", Error("Usage: waitstill MS X,Y,W,H QUIET")},
        {"waitstill 10 0,0 5", Error("Usage: waitstill MS X,Y,W,H QUIET")},
        {"waitstill 10 0,0,5,5 -1", Error("Invalid quiet time: QUIET must not be negative")},
        {"waitstill 10 -50,-50,5,5 1", Error("Region outside the screen")},
    };
    for (const auto& c : cases) EXPECT_EQ(Answer(c.line), c.answer) << c.line;
    sim::State().refuseBitBlt = true;
    EXPECT_EQ(Answer("findimage " + path), Error("Screen capture failed: 87"));
    EXPECT_EQ(Answer("waitpixel 100 5,5 1,2,3"), Error("Screen capture failed: 87"));
    EXPECT_EQ(Answer("waitstill 100 0,0,5,5 10"), Error("Screen capture failed: 87"));
}

TEST_F(ImageCommands, WaitsAnswerAsSoonAsTheScreenShowsIt) {
    sim::Paint(0, 0, 1920, 1080, 0x000000);
    sim::Paint(500, 400, 6, 6, 0x22CC44);
    sim::Paint(502, 402, 2, 2, 0xFFFFFF);
    const std::string path = Save("icon.png", Cut(500, 400, 6, 6));
    sim::Paint(500, 400, 6, 6, 0x000000);
    sim::Desktop& d = sim::State();
    sim::PaintLater(120, 700, 300, 6, 6, 0x22CC44);
    sim::PaintLater(120, 702, 302, 2, 2, 0xFFFFFF);
    const ULONGLONG start = d.tickCount;
    EXPECT_EQ(Answer("waitimage 1000 " + path), Found(700, 300, 706, 306));
    EXPECT_EQ(d.tickCount - start, 150u);  // seen at the first look after it came, looking every 50 ms
    EXPECT_EQ(d.sleeps, std::vector<DWORD>({50, 50, 50}));
    // Gone when painted over; still there at the deadline is a time-out, one tick past MS.
    sim::PaintLater(60, 700, 300, 6, 6, 0x000000);
    EXPECT_EQ(Answer("waitimagegone 1000 " + path + " 600,200,200,200"), kOk);
    sim::Paint(700, 300, 6, 6, 0x22CC44);
    sim::Paint(702, 302, 2, 2, 0xFFFFFF);
    d.sleeps.clear();
    EXPECT_EQ(Answer("waitimagegone 120 " + path), Error("Timed out after 120 ms waiting for the image to go"));
    EXPECT_EQ(d.sleeps, std::vector<DWORD>({50, 50, 21}));
    sim::Paint(0, 0, 1920, 1080, 0x000000);
    EXPECT_EQ(Answer("waitimage 75 " + path), Error("Timed out after 75 ms waiting for the image"));
    // Within a tolerance: a picture a little darker.
    sim::PaintLater(10, 900, 900, 6, 6, 0x1FC941);
    sim::PaintLater(10, 902, 902, 2, 2, 0xFCFCFC);
    EXPECT_EQ(Answer("waitimage 200 " + path + " 3"), Found(900, 900, 906, 906));
}

TEST_F(ImageCommands, WaitPixelAnswersTheColourItSaw) {
    sim::Paint(0, 0, 1920, 1080, 0x000000);
    sim::PaintLater(100, 50, 60, 1, 1, 0x0A1405);
    EXPECT_EQ(Answer("waitpixel 1000 50,60 10,20,5"), "{\"status\":\"ok\",\"r\":10,\"g\":20,\"b\":5}\n");
    sim::Paint(50, 60, 1, 1, 0x000000);
    sim::PaintLater(40, 50, 60, 1, 1, 0x0C1203);
    EXPECT_EQ(Answer("waitpixel 1000 50,60 10,20,5 2"), "{\"status\":\"ok\",\"r\":12,\"g\":18,\"b\":3}\n");
    EXPECT_EQ(Answer("waitpixel 100 50,60 10,20,5 1"), Error("Timed out after 100 ms waiting for the pixel"));
}

TEST_F(ImageCommands, WaitStillAnswersOnceTheRegionHasNotChangedForTheQuietTime) {
    sim::Desktop& d = sim::State();
    // Repainted every 40 ms for 400 ms, outside the region too.
    for (int i = 1; i <= 10; ++i) {
        sim::PaintLater(40 * i, 100, 100, 20, 20, 0x010101 * static_cast<std::uint32_t>(i));
        sim::PaintLater(40 * i, 1000, 100, 20, 20, 0x010101 * static_cast<std::uint32_t>(i));
    }
    const ULONGLONG start = d.tickCount;
    EXPECT_EQ(Answer("waitstill 2000 90,90,50,50 200"), kOk);
    // The last change (at 400 ms) was first seen at 400; quiet from then on for 200 ms.
    EXPECT_EQ(d.tickCount - start, 600u);
    EXPECT_EQ(Answer("waitstill 2000 90,90,50,50 0"), kOk);
    EXPECT_EQ(d.tickCount - start, 600u);  // still already: one look
    for (int i = 1; i <= 20; ++i) sim::PaintLater(20 * i, 1000, 100, 20, 20, 0x030303 * static_cast<std::uint32_t>(i));
    EXPECT_EQ(Answer("waitstill 300 1000,100,20,20 100"), Error("Timed out after 300 ms waiting for the region to settle"));
}

}  // namespace

#include "image/template_search.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

// A screen made here: 0x00RRGGBB a pixel, read as captured pixels are.
struct Screen {
    std::uint32_t width;
    std::uint32_t height;
    std::vector<std::uint32_t> pixels;

    Screen(std::uint32_t w, std::uint32_t h, std::uint32_t rgb) : width(w), height(h), pixels(std::size_t{w} * h, rgb) {}
    std::uint32_t& At(std::uint32_t x, std::uint32_t y) { return pixels[std::size_t{y} * width + x]; }
    PixelView View() const {
        return PixelView{reinterpret_cast<const std::uint8_t*>(pixels.data()), std::size_t{width} * 4, width, height};
    }
    void Put(const DecodedImage& image, std::uint32_t x, std::uint32_t y) {
        for (std::uint32_t r = 0; r < image.height; ++r) {
            for (std::uint32_t c = 0; c < image.width; ++c) At(x + c, y + r) = image.pixels[r * image.width + c] & 0xFFFFFF;
        }
    }
};

// A template of distinct colours (so a wrong offset never matches), opaque.
DecodedImage Pattern(std::uint32_t w, std::uint32_t h) {
    DecodedImage image{w, h, {}};
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) image.pixels.push_back(0xFF000000u | (x * 0x1F3D5B + y * 0x0A0B0C + 0x101010));
    }
    return image;
}

DecodedImage Flat(std::uint32_t w, std::uint32_t h, std::uint32_t argb) { return DecodedImage{w, h, std::vector<std::uint32_t>(std::size_t{w} * h, argb)}; }

bool Same(Point a, Point b) { return a.x == b.x && a.y == b.y; }

TEST(TemplateSearch, FindsTheTemplateWhereverItLiesOnAFlatScreen) {
    const std::uint32_t grey = 0x808080;
    const struct {
        const char* what;
        std::uint32_t w, h;  // template
        std::uint32_t x, y;  // where it is put on a 61 x 37 screen
    } cases[] = {
        {"top left", 5, 4, 0, 0},        {"top right", 5, 4, 56, 0},     {"bottom left", 5, 4, 0, 33},
        {"bottom right", 5, 4, 56, 33},  {"top edge", 9, 3, 20, 0},      {"left edge", 3, 9, 0, 14},
        {"right edge", 7, 2, 54, 20},    {"bottom edge", 6, 5, 30, 32},  {"middle", 11, 7, 25, 15},
        {"1 x 1", 1, 1, 40, 30},         {"one row", 17, 1, 3, 36},      {"one column", 1, 17, 60, 2},
        {"whole screen", 61, 37, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Screen screen(61, 37, grey);
        const DecodedImage image = Pattern(c.w, c.h);
        screen.Put(image, c.x, c.y);
        const Template t(image);
        EXPECT_TRUE(Same(t.FindFirst(screen.View(), 0), Point{static_cast<int>(c.x), static_cast<int>(c.y)}));
        Screen empty(61, 37, grey);
        EXPECT_TRUE(Same(t.FindFirst(empty.View(), 0), Point{-1, -1}));
        EXPECT_TRUE(Same(t.FindFirst(empty.View(), 40), Point{-1, -1}));
    }
    Screen screen(8, 8, grey);
    EXPECT_TRUE(Same(Template(Pattern(9, 2)).FindFirst(screen.View(), 0), Point{-1, -1}));  // wider than the screen
    EXPECT_TRUE(Same(Template(Pattern(2, 9)).FindFirst(screen.View(), 0), Point{-1, -1}));  // taller
    // A flat template on a flat screen of its colour is everywhere, first at the top left.
    EXPECT_TRUE(Same(Template(Flat(3, 3, 0xFF808080)).FindFirst(screen.View(), 0), Point{0, 0}));
}

TEST(TemplateSearch, ToleranceIsPerChannelAndInclusive) {
    for (const int channel : {0, 8, 16}) {
        for (const std::uint32_t n : {1u, 8u, 60u}) {
            SCOPED_TRACE(std::to_string(channel) + "/" + std::to_string(n));
            DecodedImage image = Pattern(6, 5);
            Screen screen(40, 30, 0x000000);
            screen.Put(image, 12, 9);
            // One pixel of the picture on the screen is off by n in one channel.
            image.pixels[2 * 6 + 2] = 0xFF303030;
            screen.At(14, 11) = 0x303030 + (n << channel);
            const Template t(image);
            EXPECT_TRUE(Same(t.FindFirst(screen.View(), static_cast<std::uint8_t>(n)), Point{12, 9}));
            EXPECT_TRUE(Same(t.FindFirst(screen.View(), static_cast<std::uint8_t>(n - 1)), Point{-1, -1}));
        }
    }
}

TEST(TemplateSearch, PixelsBelowHalfAlphaMatchAnything) {
    DecodedImage image = Pattern(7, 6);
    Screen screen(30, 20, 0x102030);
    screen.Put(image, 4, 5);
    image.pixels[0] = 0x7F00FF00;  // transparent: the screen has another colour there
    image.pixels[9] = 0x00FFFFFF;
    screen.At(4 + 2, 5 + 1) = 0x123456;
    const Template seeThrough(image);
    EXPECT_TRUE(Same(seeThrough.FindFirst(screen.View(), 0), Point{4, 5}));
    image.pixels[0] = 0x8000FF00;  // alpha 128 counts: this colour is not there
    EXPECT_TRUE(Same(Template(image).FindFirst(screen.View(), 0), Point{-1, -1}));
    // A template with nothing opaque matches at the first position.
    EXPECT_TRUE(Same(Template(Flat(4, 4, 0x00FFFFFF)).FindFirst(screen.View(), 0), Point{0, 0}));
}

TEST(TemplateSearch, EveryMatchKeepsTheOnesThatTouchAndDropsTheOnesThatOverlap) {
    const DecodedImage image = Pattern(4, 3);
    Screen screen(40, 20, 0xFFFFFF);
    for (const std::uint32_t x : {0u, 4u, 8u}) screen.Put(image, x, 0);  // side by side: all three
    screen.Put(image, 0, 3);                                              // right below the first
    std::vector<Point> found;
    Template(image).FindAll(screen.View(), 0, kMostMatches, found);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_TRUE(Same(found[0], Point{0, 0}) && Same(found[1], Point{4, 0}) && Same(found[2], Point{8, 0}) &&
                Same(found[3], Point{0, 3}));
    // A flat template on a flat screen: matches tile it, overlapping none, from the top left.
    Screen flat(10, 7, 0x445566);
    Template(Flat(3, 2, 0xFF445566)).FindAll(flat.View(), 0, kMostMatches, found);
    ASSERT_EQ(found.size(), 9u);  // three a row, three rows
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_TRUE(Same(found[i], Point{static_cast<int>(i % 3 * 3), static_cast<int>(i / 3 * 2)})) << i;
    }
    Template(Flat(1, 1, 0xFF445566)).FindAll(flat.View(), 0, 5, found);
    EXPECT_EQ(found.size(), 5u);
    Screen big(1200, 2, 0x445566);
    Template(Flat(1, 1, 0xFF445566)).FindAll(big.View(), 0, kMostMatches, found);
    EXPECT_EQ(found.size(), kMostMatches);
}

// The search as its definition says, position by position.
bool ReferenceMatch(const Screen& s, const DecodedImage& t, std::uint32_t x, std::uint32_t y, int tolerance) {
    for (std::uint32_t r = 0; r < t.height; ++r) {
        for (std::uint32_t c = 0; c < t.width; ++c) {
            const std::uint32_t tp = t.pixels[r * t.width + c];
            if ((tp >> 24) < 128) continue;
            const std::uint32_t sp = s.pixels[std::size_t{y + r} * s.width + x + c];
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(static_cast<int>((tp >> shift) & 0xFF) - static_cast<int>((sp >> shift) & 0xFF)) > tolerance) {
                    return false;
                }
            }
        }
    }
    return true;
}

TEST(TemplateSearch, AgreesWithASearchOfEveryPositionOnBusyScreens) {
    std::mt19937 engine(7);
    const auto random = [&] { return static_cast<std::uint32_t>(engine()); };
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        // Few colours, close together: anchors match often and comparisons fail late.
        const std::uint32_t w = 5 + random() % 40;
        const std::uint32_t h = 3 + random() % 20;
        Screen screen(w, h, 0);
        for (std::uint32_t& p : screen.pixels) p = (random() % 3) * 0x020202 + (random() % 2) * 0x010000;
        const std::uint32_t tw = 1 + random() % std::min<std::uint32_t>(w, 6);
        const std::uint32_t th = 1 + random() % std::min<std::uint32_t>(h, 4);
        const std::uint32_t tx = random() % (w - tw + 1);
        const std::uint32_t ty = random() % (h - th + 1);
        DecodedImage image{tw, th, {}};
        for (std::uint32_t r = 0; r < th; ++r) {
            for (std::uint32_t c = 0; c < tw; ++c) {
                std::uint32_t p = 0xFF000000u | screen.At(tx + c, ty + r);
                if (random() % 5 == 0) p ^= 0x000001;         // not quite what is there
                if (random() % 7 == 0) p &= 0x00FFFFFF;       // or see-through
                image.pixels.push_back(p);
            }
        }
        const int tolerance = static_cast<int>(random() % 3);
        const Template t(image);
        Point first{-1, -1};
        std::vector<Point> all;
        for (std::uint32_t y = 0; y + th <= h; ++y) {
            for (std::uint32_t x = 0; x + tw <= w; ++x) {
                if (!ReferenceMatch(screen, image, x, y, tolerance)) continue;
                const Point p{static_cast<int>(x), static_cast<int>(y)};
                if (first.x < 0) first = p;
                bool overlaps = false;
                for (const Point& kept : all) {
                    overlaps = overlaps || (std::abs(kept.x - p.x) < static_cast<int>(tw) &&
                                            std::abs(kept.y - p.y) < static_cast<int>(th));
                }
                if (!overlaps) all.push_back(p);
            }
        }
        EXPECT_TRUE(Same(t.FindFirst(screen.View(), static_cast<std::uint8_t>(tolerance)), first));
        std::vector<Point> found;
        t.FindAll(screen.View(), static_cast<std::uint8_t>(tolerance), kMostMatches, found);
        ASSERT_EQ(found.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i) EXPECT_TRUE(Same(found[i], all[i])) << i;
    }
}

}  // namespace

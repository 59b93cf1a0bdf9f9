// Finding a template picture among captured screen pixels, exactly or within a tolerance per
// colour channel. Plain logic. A pair of template pixels of different colours is looked for first,
// four screen positions at a time, which rules out almost every position at once, even on a flat
// screen; a position that passes is compared whole, four pixels at a time, and left at the first
// pixel that differs.
#pragma once

#include "base/geometry.h"
#include "image/png_decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Pixels to search: rows top-down, four bytes a pixel (blue, green, red, unused), as captured.
struct PixelView {
    const std::uint8_t* pixels;
    std::size_t stride;
    std::uint32_t width;
    std::uint32_t height;
};

// The most matches a search for every match gives.
inline constexpr std::size_t kMostMatches = 1000;

// A template made ready for searching: its colours, which of its pixels must match (alpha 128
// or more; the others match anything) and the pixels the search anchors on.
class Template {
   public:
    explicit Template(const DecodedImage& image);

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }

    // The top-left of the first match, row by row from the top left of `screen`, with each of red,
    // green and blue within `tolerance` of the template's; {-1, -1} when there is none.
    Point FindFirst(const PixelView& screen, std::uint8_t tolerance) const;

    // Every match row by row, each kept unless it overlaps one kept before it, at most `limit`.
    void FindAll(const PixelView& screen, std::uint8_t tolerance, std::size_t limit, std::vector<Point>& found) const;

   private:
    // How the search rules positions out: by two pixels of different colours, by one (every
    // pixel that must match has the same colour), or not at all (none must match).
    enum class Anchor { Pair, Single, None };

    // The first position at or after `x` in row `y` (of the positions a match may start at) whose
    // anchor pixels match, or `last` + 1 when none does up to `last`.
    std::uint32_t NextCandidate(const PixelView& screen, std::uint32_t y, std::uint32_t x, std::uint32_t last,
                                std::uint8_t tolerance) const;
    // Whether the template matches with its top-left at (x, y).
    bool MatchesAt(const PixelView& screen, std::uint32_t x, std::uint32_t y, std::uint8_t tolerance) const;
    // Calls found(x, y) for each match in order until it answers false.
    template <typename Found>
    void Scan(const PixelView& screen, std::uint8_t tolerance, Found&& found) const;

    std::uint32_t width_;
    std::uint32_t height_;
    std::vector<std::uint32_t> colours_;  // 0x00RRGGBB
    std::vector<std::uint32_t> masks_;    // 0x00FFFFFF where the pixel must match, else 0
    Anchor anchor_ = Anchor::None;
    std::uint32_t firstX_ = 0, firstY_ = 0, secondX_ = 0, secondY_ = 0;
    std::uint32_t firstColour_ = 0, secondColour_ = 0;
    std::uint32_t anchorSpread_ = 0;  // the largest channel difference of the anchor pair
};

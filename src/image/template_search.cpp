#include "image/template_search.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include <emmintrin.h>  // SSE2, part of every x86-64 processor

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;

// The largest difference of red, green or blue between two colours.
std::uint32_t Spread(std::uint32_t a, std::uint32_t b) {
    std::uint32_t most = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        most = std::max(most, static_cast<std::uint32_t>(d));
    }
    return most;
}

bool PixelMatches(std::uint32_t screen, std::uint32_t colour, std::uint32_t mask, std::uint8_t tolerance) {
    if (mask == 0) return true;
    return Spread(screen, colour) <= tolerance;
}

std::uint32_t ScreenPixel(const PixelView& s, std::uint32_t x, std::uint32_t y) {
    std::uint32_t v;
    std::memcpy(&v, s.pixels + std::size_t{y} * s.stride + std::size_t{x} * 4, 4);
    return v;
}

// Four bytes a lane: the tolerance in red, green and blue, and 255 in the unused byte so that it
// never counts.
__m128i ToleranceLanes(std::uint8_t tolerance) {
    const std::uint32_t t = tolerance;
    return _mm_set1_epi32(static_cast<int>(0xFF000000u | (t << 16) | (t << 8) | t));
}

// Per byte, by how much `a` and `b` differ beyond the tolerance (zero where within it).
__m128i Beyond(__m128i a, __m128i b, __m128i tolerance) {
    const __m128i difference = _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a));
    return _mm_subs_epu8(difference, tolerance);
}

}  // namespace

Template::Template(const DecodedImage& image) : width_(image.width), height_(image.height) {
    const std::size_t count = std::size_t{width_} * height_;
    colours_.resize(count);
    masks_.resize(count);
    std::size_t firstOpaque = count;
    for (std::size_t i = 0; i < count; ++i) {
        colours_[i] = image.pixels[i] & kRgb;
        masks_[i] = (image.pixels[i] >> 24) >= 128 ? kRgb : 0;
        if (masks_[i] != 0 && firstOpaque == count) firstOpaque = i;
    }
    if (firstOpaque == count) return;  // nothing must match: Anchor::None
    // Two side by side whose colours differ most: an edge, which a flat area never has and a
    // busy screen seldom has in just these colours.
    std::size_t best = count;
    std::uint32_t bestSpread = 0;
    for (std::uint32_t y = 0; y < height_; ++y) {
        for (std::uint32_t x = 0; x + 1 < width_; ++x) {
            const std::size_t i = std::size_t{y} * width_ + x;
            if (masks_[i] == 0 || masks_[i + 1] == 0) continue;
            const std::uint32_t s = Spread(colours_[i], colours_[i + 1]);
            if (s > bestSpread) {
                bestSpread = s;
                best = i;
            }
        }
    }
    std::size_t second = best + 1;
    // Failing that (no two neighbours differ, or hardly), the darkest and brightest pixels of
    // the channel that varies most, wherever they are.
    for (int shift = 0; shift < 24; shift += 8) {
        std::size_t low = firstOpaque;
        std::size_t high = firstOpaque;
        for (std::size_t i = firstOpaque; i < count; ++i) {
            if (masks_[i] == 0) continue;
            const std::uint32_t v = (colours_[i] >> shift) & 0xFF;
            if (v < ((colours_[low] >> shift) & 0xFF)) low = i;
            if (v > ((colours_[high] >> shift) & 0xFF)) high = i;
        }
        const std::uint32_t s = Spread(colours_[low], colours_[high]);
        if (s > bestSpread * 2) {
            bestSpread = s;
            best = low;
            second = high;
        }
    }
    if (bestSpread == 0) {
        anchor_ = Anchor::Single;
        best = second = firstOpaque;
    } else {
        anchor_ = Anchor::Pair;
    }
    firstX_ = static_cast<std::uint32_t>(best % width_);
    firstY_ = static_cast<std::uint32_t>(best / width_);
    secondX_ = static_cast<std::uint32_t>(second % width_);
    secondY_ = static_cast<std::uint32_t>(second / width_);
    firstColour_ = colours_[best];
    secondColour_ = colours_[second];
    anchorSpread_ = bestSpread;
}

std::uint32_t Template::NextCandidate(const PixelView& screen, std::uint32_t y, std::uint32_t x, std::uint32_t last,
                                      std::uint8_t tolerance) const {
    if (anchor_ == Anchor::None) return x;
    const std::uint8_t* rowA = screen.pixels + std::size_t{y + firstY_} * screen.stride + std::size_t{firstX_} * 4;
    const std::uint8_t* rowB = screen.pixels + std::size_t{y + secondY_} * screen.stride + std::size_t{secondX_} * 4;
    const __m128i a = _mm_set1_epi32(static_cast<int>(firstColour_));
    const __m128i b = _mm_set1_epi32(static_cast<int>(secondColour_));
    // Positions x .. x + 3 read the anchors' pixels x + ax .. x + 3 + ax, inside the row while
    // x + 3 <= last (a match that starts at `last` ends at the row's end).
    if (tolerance == 0) {
        const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgb));
        for (; x + 3 <= last; x += 4) {
            const __m128i sa = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rowA + std::size_t{x} * 4)), rgb);
            const __m128i sb = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rowB + std::size_t{x} * 4)), rgb);
            const __m128i both = _mm_and_si128(_mm_cmpeq_epi32(sa, a), _mm_cmpeq_epi32(sb, b));
            const int bits = _mm_movemask_ps(_mm_castsi128_ps(both));
            if (bits != 0) return x + static_cast<std::uint32_t>(std::countr_zero(static_cast<unsigned>(bits)));
        }
    } else {
        const __m128i lanes = ToleranceLanes(tolerance);
        const __m128i zero = _mm_setzero_si128();
        for (; x + 3 <= last; x += 4) {
            const __m128i sa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowA + std::size_t{x} * 4));
            const __m128i sb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rowB + std::size_t{x} * 4));
            const __m128i beyond = _mm_or_si128(Beyond(sa, a, lanes), Beyond(sb, b, lanes));
            const int bits = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(beyond, zero)));
            if (bits != 0) return x + static_cast<std::uint32_t>(std::countr_zero(static_cast<unsigned>(bits)));
        }
    }
    for (; x <= last; ++x) {
        if (PixelMatches(ScreenPixel(screen, x + firstX_, y + firstY_), firstColour_, kRgb, tolerance) &&
            PixelMatches(ScreenPixel(screen, x + secondX_, y + secondY_), secondColour_, kRgb, tolerance)) {
            return x;
        }
    }
    return last + 1;
}

bool Template::MatchesAt(const PixelView& screen, std::uint32_t x, std::uint32_t y, std::uint8_t tolerance) const {
    const __m128i lanes = ToleranceLanes(tolerance);
    const __m128i zero = _mm_setzero_si128();
    for (std::uint32_t r = 0; r < height_; ++r) {
        const std::uint8_t* s = screen.pixels + std::size_t{y + r} * screen.stride + std::size_t{x} * 4;
        const std::uint32_t* colours = colours_.data() + std::size_t{r} * width_;
        const std::uint32_t* masks = masks_.data() + std::size_t{r} * width_;
        std::uint32_t i = 0;
        for (; i + 4 <= width_; i += 4) {
            const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + std::size_t{i} * 4));
            const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + i));
            const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + i));
            const __m128i off = tolerance == 0 ? _mm_and_si128(_mm_xor_si128(sv, tv), mv)
                                               : _mm_and_si128(Beyond(sv, tv, lanes), mv);
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(off, zero)) != 0xFFFF) return false;
        }
        for (; i < width_; ++i) {
            std::uint32_t v;
            std::memcpy(&v, s + std::size_t{i} * 4, 4);
            if (!PixelMatches(v, colours[i], masks[i], tolerance)) return false;
        }
    }
    return true;
}

template <typename Found>
void Template::Scan(const PixelView& screen, std::uint8_t tolerance, Found&& found) const {
    if (width_ == 0 || height_ == 0 || width_ > screen.width || height_ > screen.height) return;
    const std::uint32_t last = screen.width - width_;
    for (std::uint32_t y = 0; y + height_ <= screen.height; ++y) {
        std::uint32_t x = 0;
        while (x <= last) {
            x = NextCandidate(screen, y, x, last, tolerance);
            if (x > last) break;
            // `found` answers the next position to look at, or 0 to stop.
            const std::uint32_t next = found(x, y, [&] { return MatchesAt(screen, x, y, tolerance); });
            if (next == 0) return;
            x = next;
        }
    }
}

Point Template::FindFirst(const PixelView& screen, std::uint8_t tolerance) const {
    Point first{-1, -1};
    Scan(screen, tolerance, [&](std::uint32_t x, std::uint32_t y, auto&& matches) -> std::uint32_t {
        if (!matches()) return x + 1;
        first = Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        return 0;
    });
    return first;
}

void Template::FindAll(const PixelView& screen, std::uint8_t tolerance, std::size_t limit,
                       std::vector<Point>& found) const {
    found.clear();
    if (limit == 0) return;
    // Matches are kept in scan order, so the ones a position of row y can overlap (those of the
    // rows above within the template's height) are the last ones kept.
    std::size_t active = 0;
    const auto w = static_cast<std::int64_t>(width_);
    const auto h = static_cast<std::int64_t>(height_);
    Scan(screen, tolerance, [&](std::uint32_t x, std::uint32_t y, auto&& matches) -> std::uint32_t {
        while (active < found.size() && found[active].y + h <= static_cast<std::int64_t>(y)) ++active;
        // Past every kept match it overlaps, without comparing it.
        std::int64_t beyond = -1;
        for (std::size_t i = active; i < found.size(); ++i) {
            if (std::abs(static_cast<std::int64_t>(x) - found[i].x) < w) beyond = std::max(beyond, found[i].x + w);
        }
        if (beyond >= 0) return static_cast<std::uint32_t>(beyond);
        if (!matches()) return x + 1;
        found.push_back(Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
        if (found.size() >= limit) return 0;
        return x + width_;
    });
}

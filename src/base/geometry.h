// Points and rectangles of the virtual screen, in physical pixels, origin at the top-left of the
// primary monitor: the one pair of shapes every module passes positions and areas in.
#pragma once

#include <cstdint>

// A pixel, or an offset of one (moveby's DX,DY).
struct Point {
    std::int32_t x;
    std::int32_t y;
};

// left and top are the first column and row; right and bottom lie one pixel beyond the last.
struct Rect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.y >= top && p.x < right && p.y < bottom; }
};

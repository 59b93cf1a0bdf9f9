#include "pointer/coordinate_mapping.h"

#include "platform/win32.h"

#include <algorithm>

namespace {

// The platform decodes an absolute value as origin + floor(abs * extent / 65536); the smallest
// abs that lands on offset d is therefore ceil(d * 65536 / extent).
std::int32_t MapAxis(std::int32_t v, std::int32_t origin, std::int32_t extent) {
    const std::int64_t first = origin;
    const std::int64_t last = first + extent - 1;
    const std::int64_t clamped = std::clamp<std::int64_t>(v, first, last);
    const std::int64_t offset = clamped - first;
    const std::int64_t abs = (offset * 65536 + extent - 1) / extent;
    return static_cast<std::int32_t>(std::min<std::int64_t>(abs, 65535));
}

}  // namespace

bool ScreenToAbsolute(std::int32_t x, std::int32_t y, std::int32_t& absX, std::int32_t& absY) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        absX = 0;
        absY = 0;
        return false;
    }
    absX = MapAxis(x, vx, width);
    absY = MapAxis(y, vy, height);
    return true;
}

bool IsPosition(std::int32_t x, std::int32_t y) {
    if (x >= 0 && y >= 0) return true;
    const std::int64_t vx = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const std::int64_t vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const std::int64_t width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const std::int64_t height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return x >= vx && x < vx + width && y >= vy && y < vy + height;
}

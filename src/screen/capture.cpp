#include "screen/capture.h"

#include "pointer/display_geometry.h"

#include <algorithm>

namespace {

DWORD ErrorOr(DWORD fallback) {
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

}  // namespace

ScreenCapture::~ScreenCapture() { Release(); }

void ScreenCapture::Release() {
    if (memoryDc_ != nullptr) {
        if (previous_ != nullptr) SelectObject(memoryDc_, previous_);
        DeleteDC(memoryDc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    memoryDc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    bits_ = nullptr;
    width_ = 0;
    height_ = 0;
}

bool ScreenCapture::Prepare(std::int32_t width, std::int32_t height, DWORD& error) {
    if (bitmap_ != nullptr && width == width_ && height == height_) return true;
    Release();
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        error = ErrorOr(ERROR_INVALID_PARAMETER);
        return false;
    }
    memoryDc_ = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = memoryDc_ != nullptr ? CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    const DWORD code = ErrorOr(ERROR_NOT_ENOUGH_MEMORY);
    ReleaseDC(nullptr, screen);
    if (bitmap_ == nullptr) {
        error = code;
        Release();
        return false;
    }
    previous_ = SelectObject(memoryDc_, bitmap_);
    bits_ = static_cast<std::uint8_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

CapturedPixels ScreenCapture::Capture(const Rect& region, DWORD& error) {
    error = 0;
    if (!Prepare(region.Width(), region.Height(), error)) return CapturedPixels{nullptr, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        error = ErrorOr(ERROR_INVALID_PARAMETER);
        return CapturedPixels{nullptr, 0, 0, 0};
    }
    // No CAPTUREBLT: it would take layered windows too, at the price of making the pointer
    // flicker; what the user sees is captured all the same under desktop composition.
    const BOOL copied = BitBlt(memoryDc_, 0, 0, region.Width(), region.Height(), screen, region.left, region.top, SRCCOPY);
    const DWORD code = copied ? 0 : ErrorOr(ERROR_INVALID_PARAMETER);
    ReleaseDC(nullptr, screen);
    if (!copied) {
        error = code;
        return CapturedPixels{nullptr, 0, 0, 0};
    }
    GdiFlush();  // the bitmap's memory holds the pixels only once GDI has finished
    return CapturedPixels{bits_, static_cast<std::size_t>(width_) * 4, static_cast<std::uint32_t>(width_),
                          static_cast<std::uint32_t>(height_)};
}

std::optional<Rect> ClipToScreen(const Rect& region) {
    const Rect screen = GetVirtualScreenBounds();
    const Rect part{std::max(region.left, screen.left), std::max(region.top, screen.top),
                    std::min(region.right, screen.right), std::min(region.bottom, screen.bottom)};
    if (part.Empty()) return std::nullopt;
    return part;
}

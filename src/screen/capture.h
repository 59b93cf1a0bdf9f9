// Copying pixels off the screen with GDI, as the user sees them (without the pointer).
#pragma once

#include "base/geometry.h"
#include "platform/win32.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// The part of `region` on the virtual screen; nothing when none of it is.
std::optional<Rect> ClipToScreen(const Rect& region);

// Captured pixels: rows top-down, four bytes a pixel (blue, green, red, unused).
struct CapturedPixels {
    const std::uint8_t* pixels;
    std::size_t stride;
    std::uint32_t width;
    std::uint32_t height;
};

// Captures screen regions into a device-independent bitmap that it keeps: a capture of the same
// size as the one before reuses it, so a client that polls a region costs no allocation.
class ScreenCapture {
   public:
    ScreenCapture() = default;
    ~ScreenCapture();
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;

    // Copies `region` (not empty) off the screen. On failure `error` holds the Windows error code and the
    // result's pixels are null. The pixels stay valid until the next capture.
    CapturedPixels Capture(const Rect& region, DWORD& error);

   private:
    bool Prepare(std::int32_t width, std::int32_t height, DWORD& error);
    void Release();

    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint8_t* bits_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

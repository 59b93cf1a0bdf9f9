// The simulated screen: its pixels (the wallpaper and what tests paint), and the GDI calls that
// capture them: the screen's device context, memory device contexts, device-independent bitmaps.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sim {

void SetScreen(int left, int top, int width, int height, int primaryWidth, int primaryHeight) {
    Desktop& d = State();
    d.virtualLeft = left;
    d.virtualTop = top;
    d.virtualWidth = width;
    d.virtualHeight = height;
    d.primaryWidth = primaryWidth;
    d.primaryHeight = primaryHeight;
}

std::uint32_t Wallpaper(int x, int y) {
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    return (((ux * 3 + uy) & 0xFF) << 16) | (((ux ^ (uy * 5)) & 0xFF) << 8) | ((ux + uy * 7) & 0xFF);
}

void Paint(int x, int y, int width, int height, std::uint32_t rgb) {
    Desktop& d = State();
    const auto size = static_cast<std::size_t>(d.virtualWidth) * static_cast<std::size_t>(d.virtualHeight);
    if (d.framebuffer.size() != size) {
        d.framebuffer.resize(size);
        for (int row = 0; row < d.virtualHeight; ++row) {
            for (int col = 0; col < d.virtualWidth; ++col) {
                d.framebuffer[static_cast<std::size_t>(row) * static_cast<std::size_t>(d.virtualWidth) +
                              static_cast<std::size_t>(col)] = Wallpaper(d.virtualLeft + col, d.virtualTop + row);
            }
        }
    }
    for (int row = std::max(y, d.virtualTop); row < std::min(y + height, d.virtualTop + d.virtualHeight); ++row) {
        for (int col = std::max(x, d.virtualLeft); col < std::min(x + width, d.virtualLeft + d.virtualWidth); ++col) {
            d.framebuffer[static_cast<std::size_t>(row - d.virtualTop) * static_cast<std::size_t>(d.virtualWidth) +
                          static_cast<std::size_t>(col - d.virtualLeft)] = rgb;
        }
    }
}

void PaintLater(ULONGLONG ms, int x, int y, int width, int height, std::uint32_t rgb) {
    Desktop& d = State();
    d.laterPaints.push_back(Desktop::LaterPaint{d.tickCount + ms, x, y, width, height, rgb});
}

std::uint32_t PixelAt(int x, int y) {
    const Desktop& d = State();
    if (x < d.virtualLeft || y < d.virtualTop || x >= d.virtualLeft + d.virtualWidth ||
        y >= d.virtualTop + d.virtualHeight) {
        return 0;
    }
    if (d.framebuffer.empty()) return Wallpaper(x, y);
    return d.framebuffer[static_cast<std::size_t>(y - d.virtualTop) * static_cast<std::size_t>(d.virtualWidth) +
                         static_cast<std::size_t>(x - d.virtualLeft)];
}

namespace {


struct Bitmap {
    std::vector<std::uint8_t> bits;
    int width;
    int height;
    bool topDown;
};

struct MemoryDc {
    Bitmap* selected = nullptr;
};

int g_screenDcMarker = 0;
HGDIOBJ g_stockBitmap = reinterpret_cast<HGDIOBJ>(&g_screenDcMarker);

bool IsScreenDc(HDC dc) { return dc == reinterpret_cast<HDC>(&g_screenDcMarker); }
}  // namespace
}  // namespace sim

using sim::Desktop;

HDC WINAPI GetDC(HWND hWnd) {
    Desktop& d = sim::State();
    if (hWnd != nullptr) return nullptr;  // only the screen's is modelled
    ++d.screenDcs;
    return reinterpret_cast<HDC>(&sim::g_screenDcMarker);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    if (!sim::IsScreenDc(hDC)) return 0;
    --sim::State().screenDcs;
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC) {
    ++sim::State().gdiObjects;
    return reinterpret_cast<HDC>(new sim::MemoryDc);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    if (hdc == nullptr || sim::IsScreenDc(hdc)) return FALSE;
    --sim::State().gdiObjects;
    delete reinterpret_cast<sim::MemoryDc*>(hdc);
    return TRUE;
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE, DWORD) {
    Desktop& d = sim::State();
    if (d.refuseDibSection || pbmi == nullptr || usage != DIB_RGB_COLORS || pbmi->bmiHeader.biBitCount != 32 ||
        pbmi->bmiHeader.biCompression != BI_RGB || pbmi->bmiHeader.biWidth <= 0 || pbmi->bmiHeader.biHeight == 0) {
        d.lastError = d.refuseDibSection ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    auto* bitmap = new sim::Bitmap;
    bitmap->width = pbmi->bmiHeader.biWidth;
    bitmap->height = std::abs(pbmi->bmiHeader.biHeight);
    bitmap->topDown = pbmi->bmiHeader.biHeight < 0;
    // Not zeroed on purpose: a capture must write every pixel it reports.
    bitmap->bits.resize(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height) * 4, 0xCD);
    if (ppvBits != nullptr) *ppvBits = bitmap->bits.data();
    ++d.dibSections;
    ++d.gdiObjects;
    return reinterpret_cast<HBITMAP>(bitmap);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    if (hdc == nullptr || sim::IsScreenDc(hdc) || h == nullptr) return nullptr;
    auto* dc = reinterpret_cast<sim::MemoryDc*>(hdc);
    HGDIOBJ previous = dc->selected != nullptr ? reinterpret_cast<HGDIOBJ>(dc->selected) : sim::g_stockBitmap;
    dc->selected = h == sim::g_stockBitmap ? nullptr : reinterpret_cast<sim::Bitmap*>(h);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    if (ho == nullptr || ho == sim::g_stockBitmap) return FALSE;
    --sim::State().gdiObjects;
    delete reinterpret_cast<sim::Bitmap*>(ho);
    return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    Desktop& d = sim::State();
    if (d.recording) d.blitRops.push_back(rop);
    // What has come due is on the screen before it is read, in the order it was asked for.
    while (true) {
        const auto due = std::find_if(d.laterPaints.begin(), d.laterPaints.end(),
                                      [&](const Desktop::LaterPaint& p) { return p.at <= d.tickCount; });
        if (due == d.laterPaints.end()) break;
        const Desktop::LaterPaint p = *due;
        d.laterPaints.erase(due);
        sim::Paint(p.x, p.y, p.width, p.height, p.rgb);
    }
    if (d.refuseBitBlt || !sim::IsScreenDc(hdcSrc) || hdc == nullptr || sim::IsScreenDc(hdc)) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    sim::Bitmap* bitmap = reinterpret_cast<sim::MemoryDc*>(hdc)->selected;
    if (bitmap == nullptr) return FALSE;
    // The screen device context's origin is the primary monitor's top-left, so (x1, y1) are
    // virtual-screen pixels; what lies outside the virtual screen comes out black.
    for (int row = 0; row < cy; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= bitmap->height) continue;
        const int line = bitmap->topDown ? ty : bitmap->height - 1 - ty;
        for (int col = 0; col < cx; ++col) {
            const int tx = x + col;
            if (tx < 0 || tx >= bitmap->width) continue;
            const std::uint32_t rgb = sim::PixelAt(x1 + col, y1 + row);
            std::uint8_t* p = bitmap->bits.data() + (static_cast<std::size_t>(line) * bitmap->width + tx) * 4;
            p[0] = static_cast<std::uint8_t>(rgb);
            p[1] = static_cast<std::uint8_t>(rgb >> 8);
            p[2] = static_cast<std::uint8_t>(rgb >> 16);
            p[3] = 0;
        }
    }
    return TRUE;
}

BOOL WINAPI GdiFlush() { return TRUE; }

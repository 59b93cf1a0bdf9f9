// The simulated clipboard and the global memory blocks it takes.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <cstdint>
#include <vector>

using sim::Desktop;

namespace sim {
namespace {

struct GlobalBlock {
    std::vector<std::uint8_t> bytes;
    int locks = 0;
};

HGLOBAL g_clipboardData = nullptr;  // the block the clipboard owns, made on GetClipboardData

}  // namespace
}  // namespace sim

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T dwBytes) {
    ++sim::State().globalBlocks;
    auto* block = new sim::GlobalBlock;
    block->bytes.assign(dwBytes, 0);
    return block;
}

void* WINAPI GlobalLock(HGLOBAL hMem) {
    auto* block = static_cast<sim::GlobalBlock*>(hMem);
    if (block == nullptr) return nullptr;
    ++block->locks;
    return block->bytes.data();
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    auto* block = static_cast<sim::GlobalBlock*>(hMem);
    if (block == nullptr || block->locks == 0) return FALSE;
    return --block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    if (hMem == nullptr) return nullptr;
    --sim::State().globalBlocks;
    delete static_cast<sim::GlobalBlock*>(hMem);
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    const auto* block = static_cast<const sim::GlobalBlock*>(hMem);
    return block != nullptr ? block->bytes.size() : 0;
}

BOOL WINAPI OpenClipboard(HWND) {
    Desktop& d = sim::State();
    ++d.clipboardOpenTries;
    if (d.clipboardBusyTries > 0 || d.clipboardOpen) {
        if (d.clipboardBusyTries > 0) --d.clipboardBusyTries;
        d.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    d.clipboardOpen = true;
    return TRUE;
}

BOOL WINAPI CloseClipboard() {
    Desktop& d = sim::State();
    if (!d.clipboardOpen) {
        d.lastError = ERROR_CLIPBOARD_NOT_OPEN;
        return FALSE;
    }
    d.clipboardOpen = false;
    return TRUE;
}

BOOL WINAPI EmptyClipboard() {
    Desktop& d = sim::State();
    if (!d.clipboardOpen) {
        d.lastError = ERROR_CLIPBOARD_NOT_OPEN;
        return FALSE;
    }
    d.clipboardHasText = false;
    d.clipboardText.clear();
    return TRUE;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    return format == CF_UNICODETEXT && sim::State().clipboardHasText ? TRUE : FALSE;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
    Desktop& d = sim::State();
    if (!d.clipboardOpen || uFormat != CF_UNICODETEXT || !d.clipboardHasText) {
        d.lastError = d.clipboardOpen ? ERROR_FILE_NOT_FOUND : ERROR_CLIPBOARD_NOT_OPEN;
        return nullptr;
    }
    // The clipboard's own block, UTF-16 ended by a zero unit; it stays the clipboard's.
    std::vector<wchar_t> wide(d.clipboardText.size() + 2);
    const int length = sim::CopyWide(d.clipboardText, wide.data(), static_cast<int>(wide.size()));
    if (sim::g_clipboardData != nullptr) {
        delete static_cast<sim::GlobalBlock*>(sim::g_clipboardData);
    }
    auto* block = new sim::GlobalBlock;
    // Each unit as two bytes, little-endian, as a Windows block holds UTF-16.
    for (int i = 0; i <= length; ++i) {
        block->bytes.push_back(static_cast<std::uint8_t>(wide[static_cast<std::size_t>(i)] & 0xFF));
        block->bytes.push_back(static_cast<std::uint8_t>((wide[static_cast<std::size_t>(i)] >> 8) & 0xFF));
    }
    sim::g_clipboardData = block;
    return block;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    Desktop& d = sim::State();
    if (!d.clipboardOpen || uFormat != CF_UNICODETEXT || hMem == nullptr) {
        d.lastError = ERROR_CLIPBOARD_NOT_OPEN;
        return nullptr;
    }
    auto* block = static_cast<sim::GlobalBlock*>(hMem);
    // UTF-16 units, two bytes each, up to the first zero unit.
    std::vector<wchar_t> units;
    for (std::size_t i = 0; i + 1 < block->bytes.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(block->bytes[i] | (block->bytes[i + 1] << 8));
        if (unit == 0) break;
        units.push_back(unit);
    }
    units.push_back(0);
    d.clipboardText = sim::FromWide(units.data());
    d.clipboardHasText = true;
    // The block now belongs to the clipboard.
    --d.globalBlocks;
    delete block;
    return hMem;
}


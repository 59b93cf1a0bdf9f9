#include "clipboard/clipboard.h"

#include "base/utf16.h"
#include "platform/poll.h"

#include <cstring>
#include <vector>

namespace {

// Opens the clipboard, trying again while another program holds it.
bool OpenWhenFree() {
    return PollUntil([] { return OpenClipboard(nullptr) != 0; }, kClipboardBusyTimeoutMs);
}

DWORD ErrorOr(DWORD fallback) {
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

}  // namespace

ClipboardRead ReadClipboardText() {
    if (!OpenWhenFree()) return ClipboardRead{ClipboardOutcome::Busy, std::string(), ERROR_ACCESS_DENIED};
    ClipboardRead read{ClipboardOutcome::Done, std::string(), 0};
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* units = static_cast<const std::uint8_t*>(GlobalLock(data))) {
                // UTF-16, two bytes a unit, ended by a zero unit or by the block.
                const std::size_t size = GlobalSize(data) / 2;
                std::vector<std::uint16_t> text;
                for (std::size_t i = 0; i < size; ++i) {
                    std::uint16_t unit = 0;
                    std::memcpy(&unit, units + 2 * i, 2);
                    if (unit == 0) break;
                    text.push_back(unit);
                }
                read.text = Utf16ToUtf8(text.data(), text.size());
                GlobalUnlock(data);
            }
        }
    }
    CloseClipboard();
    return read;
}

ClipboardOutcome WriteClipboardText(std::string_view text, DWORD& error) {
    error = 0;
    const std::vector<std::uint16_t> units = Utf8ToUtf16<std::uint16_t>(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, units.size() * 2);
    if (block == nullptr) {
        error = ErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        return ClipboardOutcome::Failed;
    }
    if (void* at = GlobalLock(block)) {
        std::memcpy(at, units.data(), units.size() * 2);
        GlobalUnlock(block);
    }
    if (!OpenWhenFree()) {
        GlobalFree(block);
        error = ERROR_ACCESS_DENIED;
        return ClipboardOutcome::Busy;
    }
    SetLastError(0);
    if (!EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, block) == nullptr) {
        error = ErrorOr(ERROR_CLIPBOARD_NOT_OPEN);
        GlobalFree(block);  // still ours: the clipboard did not take it
        CloseClipboard();
        return ClipboardOutcome::Failed;
    }
    // The block is the clipboard's now.
    CloseClipboard();
    return ClipboardOutcome::Done;
}

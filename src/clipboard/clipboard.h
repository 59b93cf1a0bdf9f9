// The clipboard's text, in and out: Unicode text (CF_UNICODETEXT) on the system's side, UTF-8
// on ours.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <string_view>

// How long another program may hold the clipboard open before we give up, in milliseconds.
inline constexpr std::uint32_t kClipboardBusyTimeoutMs = 1000;

enum class ClipboardOutcome { Done, Busy, Failed };

struct ClipboardRead {
    ClipboardOutcome outcome;
    std::string text;  // empty when the clipboard holds no text
    DWORD error;
};

// The clipboard's text. While another program holds the clipboard open it retries, for at most
// kClipboardBusyTimeoutMs.
ClipboardRead ReadClipboardText();

// Puts exactly `text` (UTF-8) on the clipboard as Unicode text, replacing what it held; `error`
// holds the code of a failure.
ClipboardOutcome WriteClipboardText(std::string_view text, DWORD& error);

#include "daemon/dpi_awareness.h"

#include "platform/win32.h"

namespace {

using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);

}  // namespace

void EnableDpiAwareness() {
    // Looked up at run time so that the program still starts where the entry point is missing.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC proc = user32 != nullptr ? GetProcAddress(user32, "SetProcessDpiAwarenessContext") : nullptr;
    if (proc != nullptr) {
        auto setContext = reinterpret_cast<SetProcessDpiAwarenessContextFn>(reinterpret_cast<void (*)()>(proc));
        setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
        return;
    }
    SetProcessDPIAware();
}

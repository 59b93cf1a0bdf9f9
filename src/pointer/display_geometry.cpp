#include "pointer/display_geometry.h"

#include "platform/win32.h"

Rect GetVirtualScreenBounds() {
    Rect bounds{};
    bounds.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    bounds.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    // Unsigned arithmetic: a sum beyond the 32-bit range wraps instead of being undefined.
    bounds.right = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetSystemMetrics(SM_XVIRTUALSCREEN)) +
                                             static_cast<std::uint32_t>(GetSystemMetrics(SM_CXVIRTUALSCREEN)));
    bounds.bottom = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetSystemMetrics(SM_YVIRTUALSCREEN)) +
                                              static_cast<std::uint32_t>(GetSystemMetrics(SM_CYVIRTUALSCREEN)));
    return bounds;
}

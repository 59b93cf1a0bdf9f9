#include "windows/session.h"

#include "base/text.h"
#include "base/utf16.h"
#include "platform/win32.h"

SessionInfo ReadSession() {
    SessionInfo info{0, std::string(), false};
    DWORD session = 0;
    if (ProcessIdToSessionId(GetCurrentProcessId(), &session)) info.session = session;
    if (HDESK desk = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS)) {
        WCHAR name[256] = {};
        DWORD needed = 0;
        if (GetUserObjectInformationW(desk, UOI_NAME, name, sizeof name, &needed)) {
            std::size_t length = 0;
            while (length < 255 && name[length] != 0) ++length;
            info.desktop = Utf16ToUtf8(name, length);
        }
        CloseDesktop(desk);
    }
    // Session 0 holds services and has no user's screen; any desktop but Default (Winlogon when
    // locked, the secure desktop of a consent prompt) takes no synthesised input.
    info.interactive = info.session != 0 && ToLower(info.desktop) == "default";
    return info;
}

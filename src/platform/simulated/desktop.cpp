// The simulated desktop: the Windows services of win32.h, answered by a model that behaves the
// way the platform does wherever marlet's results depend on it.
#include "platform/simulated/desktop.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <cerrno>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <unistd.h>
#include <span>
#include <string_view>

namespace sim {
namespace {

template <typename T>
void Hold(std::vector<T>& held, T item) {
    if (std::find(held.begin(), held.end(), item) == held.end()) held.push_back(item);
}

template <typename T>
void Release(std::vector<T>& held, T item) {
    const auto found = std::find(held.begin(), held.end(), item);
    if (found != held.end()) held.erase(found);
}

void FillUsLayout(Desktop& d);

Desktop MakeDesktop() {
    Desktop d;
    FillUsLayout(d);
    return d;
}

// The model starts with the default layout, so the host daemon runs on it too. A namespace
// scope object, initialised before main, so that the calls need no guard.
Desktop g_desktop = MakeDesktop();

Desktop& Instance() { return g_desktop; }

void FillUsLayout(Desktop& d) {
    d.vkScan.fill(-1);
    auto set = [&d](unsigned char ch, int shift, int vk) { d.vkScan[ch] = static_cast<SHORT>((shift << 8) | vk); };
    for (int c = 'a'; c <= 'z'; ++c) set(static_cast<unsigned char>(c), 0, c - 'a' + 'A');
    for (int c = 'A'; c <= 'Z'; ++c) set(static_cast<unsigned char>(c), 1, c);
    for (int c = '0'; c <= '9'; ++c) set(static_cast<unsigned char>(c), 0, c);
    const std::string_view shiftedDigits = ")!@#$%^&*(";
    for (std::size_t i = 0; i < shiftedDigits.size(); ++i)
        set(static_cast<unsigned char>(shiftedDigits[i]), 1, static_cast<int>('0' + i));
    struct Punct {
        char plain;
        char shifted;
        int vk;
    };
    const Punct punct[] = {{'-', '_', VK_OEM_MINUS}, {'=', '+', VK_OEM_PLUS},  {'[', '{', VK_OEM_4},
                           {']', '}', VK_OEM_6},     {'\\', '|', VK_OEM_5},    {';', ':', VK_OEM_1},
                           {'\'', '"', VK_OEM_7},    {',', '<', VK_OEM_COMMA}, {'.', '>', VK_OEM_PERIOD},
                           {'/', '?', VK_OEM_2},     {'`', '~', VK_OEM_3}};
    for (const Punct& p : punct) {
        set(static_cast<unsigned char>(p.plain), 0, p.vk);
        set(static_cast<unsigned char>(p.shifted), 1, p.vk);
    }
    // Control characters come from Ctrl with a letter, as on a real US layout, except for the
    // few that have keys of their own.
    for (int c = 1; c <= 26; ++c) set(static_cast<unsigned char>(c), 2, 'A' + c - 1);
    set(' ', 0, VK_SPACE);
    set('\t', 0, VK_TAB);
    set('\r', 0, VK_RETURN);
    set('\n', 2, VK_RETURN);
    set('\b', 0, VK_BACK);
    set(0x1B, 0, VK_ESCAPE);
    set(0x1C, 2, VK_OEM_5);
    set(0x1D, 2, VK_OEM_6);
    set(0x1E, 3, '6');
    set(0x1F, 3, VK_OEM_MINUS);
    set(0x00, 3, '2');
    set(0x7F, 2, VK_BACK);

    d.scanCodes.fill(0);
    const std::string_view row1 = "QWERTYUIOP";
    const std::string_view row2 = "ASDFGHJKL";
    const std::string_view row3 = "ZXCVBNM";
    for (std::size_t i = 0; i < row1.size(); ++i)
        d.scanCodes[static_cast<unsigned char>(row1[i])] = static_cast<UINT>(0x10 + i);
    for (std::size_t i = 0; i < row2.size(); ++i)
        d.scanCodes[static_cast<unsigned char>(row2[i])] = static_cast<UINT>(0x1E + i);
    for (std::size_t i = 0; i < row3.size(); ++i)
        d.scanCodes[static_cast<unsigned char>(row3[i])] = static_cast<UINT>(0x2C + i);
    for (int c = '1'; c <= '9'; ++c) d.scanCodes[c] = static_cast<UINT>(0x02 + c - '1');
    d.scanCodes['0'] = 0x0B;
    for (int f = 0; f < 10; ++f) d.scanCodes[VK_F1 + f] = static_cast<UINT>(0x3B + f);
    d.scanCodes[VK_F1 + 10] = 0x57;
    d.scanCodes[VK_F1 + 11] = 0x58;
    for (int f = 12; f < 23; ++f) d.scanCodes[VK_F1 + f] = static_cast<UINT>(0x64 + f - 12);
    d.scanCodes[VK_F24] = 0x76;
    const std::pair<int, UINT> keys[] = {
        {VK_ESCAPE, 0x01},   {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},  {VK_BACK, 0x0E},       {VK_TAB, 0x0F},
        {VK_OEM_4, 0x1A},    {VK_OEM_6, 0x1B},     {VK_RETURN, 0x1C},    {VK_CONTROL, 0x1D},    {VK_LCONTROL, 0x1D},
        {VK_RCONTROL, 0x1D}, {VK_OEM_1, 0x27},     {VK_OEM_7, 0x28},     {VK_OEM_3, 0x29},      {VK_SHIFT, 0x2A},
        {VK_LSHIFT, 0x2A},   {VK_OEM_5, 0x2B},     {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35},
        {VK_RSHIFT, 0x36},   {VK_MULTIPLY, 0x37},  {VK_MENU, 0x38},      {VK_LMENU, 0x38},      {VK_RMENU, 0x38},
        {VK_SPACE, 0x39},    {VK_CAPITAL, 0x3A},   {VK_NUMLOCK, 0x45},   {VK_SCROLL, 0x46},     {VK_CANCEL, 0x46},
        {VK_HOME, 0x47},     {VK_UP, 0x48},        {VK_PRIOR, 0x49},     {VK_SUBTRACT, 0x4A},   {VK_LEFT, 0x4B},
        {VK_RIGHT, 0x4D},    {VK_ADD, 0x4E},       {VK_END, 0x4F},       {VK_DOWN, 0x50},       {VK_NEXT, 0x51},
        {VK_INSERT, 0x52},   {VK_DELETE, 0x53},    {VK_DECIMAL, 0x53},   {VK_SNAPSHOT, 0x54},   {VK_DIVIDE, 0x35},
        {VK_LWIN, 0x5B},     {VK_RWIN, 0x5C},      {VK_APPS, 0x5D},      {VK_PAUSE, 0x45},      {0x60, 0x52},
        {0x61, 0x4F},        {0x62, 0x50},         {0x63, 0x51},         {0x64, 0x4B},          {0x65, 0x4C},
        {0x66, 0x4D},        {0x67, 0x47},         {0x68, 0x48},         {0x69, 0x49},
    };
    for (const auto& [vk, scan] : keys) d.scanCodes[vk] = scan;
    FillScanDecoding(d);
}

// Where an absolute coordinate lands: origin + floor(abs * extent / 65536), as the platform
// decodes it.
LONG DecodeAbsolute(LONG abs, int origin, int extent) {
    return static_cast<LONG>(origin + (static_cast<long long>(abs) * extent) / 65536);
}

LONG ClampInto(LONG v, int origin, int extent) {
    if (extent <= 0) return origin;
    return std::clamp<LONG>(v, origin, origin + extent - 1);
}

void ApplyMouse(Desktop& d, const MOUSEINPUT& mi) {
    const bool moves = (mi.dwFlags & MOUSEEVENTF_MOVE) != 0;
    if (moves) {
        LONG x = 0;
        LONG y = 0;
        if (mi.dwFlags & MOUSEEVENTF_ABSOLUTE) {
            if (mi.dwFlags & MOUSEEVENTF_VIRTUALDESK) {
                x = DecodeAbsolute(mi.dx, d.virtualLeft, d.virtualWidth);
                y = DecodeAbsolute(mi.dy, d.virtualTop, d.virtualHeight);
            } else {
                x = DecodeAbsolute(mi.dx, 0, d.primaryWidth);
                y = DecodeAbsolute(mi.dy, 0, d.primaryHeight);
            }
        } else {
            x = d.cursor.x + mi.dx;
            y = d.cursor.y + mi.dy;
        }
        d.cursor.x = ClampInto(x, d.virtualLeft, d.virtualWidth);
        d.cursor.y = ClampInto(y, d.virtualTop, d.virtualHeight);
        if (d.recording && !d.heldButtons.empty()) d.pathWhileDown.push_back(d.cursor);
    }
    const DWORD buttonFlags[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,     MOUSEEVENTF_RIGHTDOWN,
                                 MOUSEEVENTF_RIGHTUP,  MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
    for (DWORD flag : buttonFlags) {
        if (!(mi.dwFlags & flag)) continue;
        const bool down =
            flag == MOUSEEVENTF_LEFTDOWN || flag == MOUSEEVENTF_RIGHTDOWN || flag == MOUSEEVENTF_MIDDLEDOWN;
        if (d.recording) {
            MouseEvent event{flag, d.cursor.x, d.cursor.y, 0};
            if (down) {
                // The second down of a button within the double-click time and rectangle of
                // the first is a double-click, as the system tells its window.
                for (auto e = d.mouseEvents.rbegin(); e != d.mouseEvents.rend(); ++e) {
                    if (e->flag != flag) continue;
                    event.doubleClick = !e->doubleClick && d.tickCount - d.lastDownTick <= d.doubleClickTime &&
                                        std::abs(e->x - event.x) <= d.doubleClickWidth / 2 &&
                                        std::abs(e->y - event.y) <= d.doubleClickHeight / 2;
                    break;
                }
                d.lastDownTick = d.tickCount;
                d.pathWhileDown.clear();
            } else {
                event.path = d.pathWhileDown;
            }
            d.mouseEvents.push_back(event);
        }
        if (down) {
            Hold(d.heldButtons, flag);
        } else {
            Release(d.heldButtons, flag >> 1);
        }
    }
    for (const DWORD wheel : {MOUSEEVENTF_WHEEL, MOUSEEVENTF_HWHEEL}) {
        if ((mi.dwFlags & wheel) && d.recording)
            d.mouseEvents.push_back({wheel, d.cursor.x, d.cursor.y, static_cast<LONG>(mi.mouseData)});
    }
}

bool IsDown(const Desktop& d, WORD a, WORD b, WORD c) {
    for (const std::uint32_t key : d.heldKeys) {
        if ((key & 0x10000u) != 0) continue;
        WORD vk = 0;
        if (key & 0x20000u) vk = ScanToVk(static_cast<WORD>(key & 0xFF), (key & 0x100u) != 0);
        if (key & 0x40000u) vk = static_cast<WORD>(key & 0xFF);
        if (vk == a || vk == b || vk == c) return true;
    }
    return false;
}

// The character a layout key-down types into the focused window, as TranslateMessage makes it
// on the US layout: Shift picks the second character of the key, Caps Lock swaps the case of
// letters (and only letters). Nothing while Ctrl or Alt is down.
void TypeLayoutCharacter(Desktop& d, WORD vk) {
    if (IsDown(d, VK_CONTROL, VK_LCONTROL, VK_RCONTROL) || IsDown(d, VK_MENU, VK_LMENU, VK_RMENU)) return;
    const bool shift = IsDown(d, VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    const auto wanted = static_cast<SHORT>(((shift ? 1 : 0) << 8) | vk);
    for (int c = '\t'; c < 0x7F; ++c) {
        if (c > '\r' && c < 0x20) continue;  // of the control characters, Tab and Enter type
        if (c == '\n' || c == '\v' || c == '\f') continue;
        if (d.vkScan[static_cast<std::size_t>(c)] != wanted) continue;
        char ch = static_cast<char>(c);
        if (d.capsLock && ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'))) ch = static_cast<char>(ch ^ 0x20);
        d.layoutText.push_back(ch);
        return;
    }
}

void ApplyKey(Desktop& d, const KEYBDINPUT& ki) {
    const std::uint32_t key = KeyIdentity(ki);
    const bool up = (ki.dwFlags & KEYEVENTF_KEYUP) != 0;
    KeyStroke stroke{VK_PACKET, (ki.dwFlags & KEYEVENTF_EXTENDEDKEY) != 0, up};
    if (!(ki.dwFlags & KEYEVENTF_UNICODE)) {
        stroke.vk = (ki.dwFlags & KEYEVENTF_SCANCODE) ? ScanToVk(ki.wScan, stroke.extended) : ki.wVk;
    }
    if (d.recording) d.keyStrokes.push_back(stroke);
    if (up) {
        const auto found = std::find(d.heldKeys.begin(), d.heldKeys.end(), key);
        if (found == d.heldKeys.end()) {
            ++d.strayKeyUps;
        } else {
            d.heldKeys.erase(found);
        }
        return;
    }
    const bool repeat = std::find(d.heldKeys.begin(), d.heldKeys.end(), key) != d.heldKeys.end();
    d.heldKeys.push_back(key);
    if (ki.dwFlags & KEYEVENTF_UNICODE) {
        if (d.recording) d.typedUnits.push_back(ki.wScan);
        return;
    }
    // A lock key toggles on its press, not on the auto-repeat of one already down.
    if (stroke.vk == VK_CAPITAL && !repeat) d.capsLock = !d.capsLock;
    if (stroke.vk == VK_NUMLOCK && !repeat) d.numLock = !d.numLock;
    if (d.recording) TypeLayoutCharacter(d, stroke.vk);
}

LONG_PTR g_user32Marker = 0;

BOOL WINAPI SimSetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    Desktop& d = Instance();
    if (d.recording) d.dpiAwarenessContextCalls.push_back(reinterpret_cast<LONG_PTR>(context));
    return d.dpiAwarenessContextResult;
}

}  // namespace

Desktop& State() { return Instance(); }

void Reset() {
    Desktop& d = Instance();
    d = Desktop{};
    FillUsLayout(d);
    d.recording = true;
}

void SetScreen(int left, int top, int width, int height, int primaryWidth, int primaryHeight) {
    Desktop& d = Instance();
    d.virtualLeft = left;
    d.virtualTop = top;
    d.virtualWidth = width;
    d.virtualHeight = height;
    d.primaryWidth = primaryWidth;
    d.primaryHeight = primaryHeight;
}

HWND AddWindow(const std::string& title, bool visible, bool minimized) {
    Desktop& d = Instance();
    // Handles like the platform's: small, even, spread out.
    const auto value = static_cast<std::uintptr_t>(0x10010 + 0x2A * d.windows.size());
    HWND handle = reinterpret_cast<HWND>(value);
    const auto index = static_cast<DWORD>(d.windows.size());
    sim::Window w{};
    w.handle = handle;
    w.title = title;
    w.visible = visible;
    w.minimized = minimized;
    w.alive = true;
    w.thread = 0x100 + 4 * index;
    w.process = 0x2000 + 4 * index;
    d.windows.push_back(w);
    return handle;
}

std::uint32_t Wallpaper(int x, int y) {
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    return (((ux * 3 + uy) & 0xFF) << 16) | (((ux ^ (uy * 5)) & 0xFF) << 8) | ((ux + uy * 7) & 0xFF);
}

void Paint(int x, int y, int width, int height, std::uint32_t rgb) {
    Desktop& d = Instance();
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

std::uint32_t PixelAt(int x, int y) {
    const Desktop& d = Instance();
    if (x < d.virtualLeft || y < d.virtualTop || x >= d.virtualLeft + d.virtualWidth ||
        y >= d.virtualTop + d.virtualHeight) {
        return 0;
    }
    if (d.framebuffer.empty()) return Wallpaper(x, y);
    return d.framebuffer[static_cast<std::size_t>(y - d.virtualTop) * static_cast<std::size_t>(d.virtualWidth) +
                         static_cast<std::size_t>(x - d.virtualLeft)];
}

Window* FindWindow(HWND handle) {
    for (Window& w : Instance().windows) {
        if (w.handle == handle) return &w;
    }
    return nullptr;
}

std::uint32_t KeyIdentity(const KEYBDINPUT& ki) {
    if (ki.dwFlags & KEYEVENTF_UNICODE) return 0x10000u | ki.wScan;
    if (ki.dwFlags & KEYEVENTF_SCANCODE)
        return 0x20000u | ((ki.dwFlags & KEYEVENTF_EXTENDEDKEY) ? 0x100u : 0u) | ki.wScan;
    return 0x40000u | ki.wVk;
}

WORD ScanToVk(WORD scan, bool extended) {
    return scan < 256 ? Instance().scanToVk[(extended ? 256u : 0u) + scan] : WORD{0};
}

namespace {

WORD DecodeScan(const Desktop& d, WORD scan, bool extended) {
    // The keys whose scan code the extended flag tells apart (E0 on the keyboard). Scan code
    // 0x45 is Num Lock either way: Pause is E1 1D 45 on the keyboard, which no record can say.
    static const std::pair<WORD, WORD> kExtended[] = {
        {0x1C, VK_RETURN}, {0x1D, VK_RCONTROL}, {0x35, VK_DIVIDE}, {0x38, VK_RMENU}, {0x45, VK_NUMLOCK},
        {0x46, VK_CANCEL}, {0x47, VK_HOME},     {0x48, VK_UP},     {0x49, VK_PRIOR}, {0x4B, VK_LEFT},
        {0x4D, VK_RIGHT},  {0x4F, VK_END},      {0x50, VK_DOWN},   {0x51, VK_NEXT},  {0x52, VK_INSERT},
        {0x53, VK_DELETE}, {0x5B, VK_LWIN},     {0x5C, VK_RWIN},   {0x5D, VK_APPS},
    };
    static const std::pair<WORD, WORD> kPlain[] = {
        {0x1D, VK_LCONTROL}, {0x2A, VK_LSHIFT},  {0x36, VK_RSHIFT}, {0x38, VK_LMENU}, {0x45, VK_NUMLOCK},
        {0x46, VK_SCROLL},   {0x47, 0x67},       {0x48, 0x68},      {0x49, 0x69},     {0x4B, 0x64},
        {0x4C, 0x65},        {0x4D, 0x66},       {0x4F, 0x61},      {0x50, 0x62},     {0x51, 0x63},
        {0x52, 0x60},        {0x53, VK_DECIMAL},
    };
    const std::span<const std::pair<WORD, WORD>> table =
        extended ? std::span<const std::pair<WORD, WORD>>(kExtended) : std::span<const std::pair<WORD, WORD>>(kPlain);
    for (const auto& [code, vk] : table) {
        if (code == scan) return vk;
    }
    if (extended) return 0;
    // Every other key has one scan code: the lowest virtual key the layout gives it.
    for (UINT vk = 1; vk < 256; ++vk) {
        if (d.scanCodes[vk] == scan) return static_cast<WORD>(vk);
    }
    return 0;
}

}  // namespace

void FillScanDecoding(Desktop& d) {
    for (WORD scan = 0; scan < 256; ++scan) {
        d.scanToVk[scan] = DecodeScan(d, scan, false);
        d.scanToVk[256u + scan] = DecodeScan(d, scan, true);
    }
}

std::vector<KEYBDINPUT> AllKeyRecords() {
    std::vector<KEYBDINPUT> records;
    for (const auto& batch : Instance().batches) {
        for (const INPUT& in : batch) {
            if (in.type == INPUT_KEYBOARD) records.push_back(in.ki);
        }
    }
    return records;
}

}  // namespace sim

using sim::Desktop;

UINT WINAPI SendInput(UINT cInputs, INPUT* pInputs, int cbSize) {
    Desktop& d = sim::State();
    if (cbSize != static_cast<int>(sizeof(INPUT)) || (cInputs > 0 && pInputs == nullptr)) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    if (d.recording) d.batches.emplace_back(pInputs, pInputs + cInputs);
    if (!d.handMoves.empty()) {
        d.cursor = d.handMoves.front();
        d.handMoves.pop_front();
    }
    UINT accept = cInputs;
    DWORD error = 0;
    if (!d.plans.empty()) {
        accept = std::min(d.plans.front().accept, cInputs);
        error = d.plans.front().error;
        d.plans.pop_front();
    }
    if (accept > 0) d.lastInputProcess = d.currentProcess;
    for (UINT i = 0; i < accept; ++i) {
        if (pInputs[i].type == INPUT_MOUSE) sim::ApplyMouse(d, pInputs[i].mi);
        if (pInputs[i].type == INPUT_KEYBOARD) sim::ApplyKey(d, pInputs[i].ki);
    }
    if (accept < cInputs) d.lastError = error;
    return accept;
}

int WINAPI GetSystemMetrics(int nIndex) {
    Desktop& d = sim::State();
    if (d.recording) d.metricReads.push_back(nIndex);
    switch (nIndex) {
        case SM_CXSCREEN: return d.primaryWidth;
        case SM_CYSCREEN: return d.primaryHeight;
        case SM_XVIRTUALSCREEN: return d.virtualLeft;
        case SM_YVIRTUALSCREEN: return d.virtualTop;
        case SM_CXVIRTUALSCREEN: return d.virtualWidth;
        case SM_CYVIRTUALSCREEN: return d.virtualHeight;
        case SM_CXDRAG: return d.dragWidth;
        case SM_CYDRAG: return d.dragHeight;
        case SM_CXDOUBLECLK: return d.doubleClickWidth;
        case SM_CYDOUBLECLK: return d.doubleClickHeight;
        default: return 0;
    }
}

BOOL WINAPI GetCursorPos(POINT* lpPoint) {
    Desktop& d = sim::State();
    if (!d.cursorAvailable || lpPoint == nullptr) {
        d.lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    *lpPoint = d.cursor;
    return TRUE;
}

SHORT WINAPI VkKeyScanA(CHAR ch) { return sim::State().vkScan[static_cast<unsigned char>(ch)]; }

UINT WINAPI MapVirtualKeyA(UINT uCode, UINT uMapType) {
    Desktop& d = sim::State();
    if (d.recording) d.mapCalls.push_back({false, uCode});
    return (uMapType == MAPVK_VK_TO_VSC && uCode < 256) ? d.scanCodes[uCode] : 0;
}

UINT WINAPI MapVirtualKeyW(UINT uCode, UINT uMapType) {
    Desktop& d = sim::State();
    if (d.recording) d.mapCalls.push_back({true, uCode});
    return (uMapType == MAPVK_VK_TO_VSC && uCode < 256) ? d.scanCodes[uCode] : 0;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    Desktop& d = sim::State();
    d.enumVisits = 0;
    ++d.enumWalks;
    // The callback may not change the list, but copy the handles so that it could.
    std::vector<HWND> handles;
    for (const sim::Window& w : d.windows) {
        if (w.alive && w.bornAfterEnums < d.enumWalks) handles.push_back(w.handle);
    }
    for (HWND h : handles) {
        ++d.enumVisits;
        if (!lpEnumFunc(h, lParam)) return FALSE;
    }
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    Desktop& d = sim::State();
    const sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) {
        d.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    const std::size_t n = std::min(w->title.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpString, w->title.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

BOOL WINAPI IsWindow(HWND hWnd) {
    sim::Window* w = sim::FindWindow(hWnd);
    if (w != nullptr && w->alive && w->closesAfterChecks >= 0 && w->closesAfterChecks-- == 0) w->alive = false;
    return (w != nullptr && w->alive) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    const sim::Window* w = sim::FindWindow(hWnd);
    return (w != nullptr && w->alive && w->minimized) ? TRUE : FALSE;
}

namespace sim {
namespace {

void ApplyShow(Window& w, int nCmdShow) {
    switch (nCmdShow) {
        case SW_RESTORE:
            // A minimised window goes back to where it was before, maximised or not.
            if (w.minimized) {
                w.minimized = false;
            } else {
                w.maximized = false;
            }
            w.visible = true;
            break;
        case SW_MINIMIZE:
            w.minimized = true;
            w.visible = true;
            break;
        case SW_MAXIMIZE:
            w.minimized = false;
            w.maximized = true;
            w.visible = true;
            break;
        default: break;
    }
}

Window* LiveWindow(HWND hWnd) {
    Window* w = FindWindow(hWnd);
    if (w == nullptr || !w->alive) {
        State().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return nullptr;
    }
    return w;
}

// The window rectangle: the frame with the invisible borders around it. A maximised window
// fills the primary monitor's frame; a minimised one is parked far off screen, as Windows does.
RECT WindowRect(const Window& w) {
    const Desktop& d = State();
    RECT frame = w.frame;
    if (w.maximized) frame = RECT{0, 0, d.primaryWidth, d.primaryHeight};
    if (w.minimized) frame = RECT{-32000, -32000, -32000 + 160, -32000 + 28};
    return RECT{frame.left - w.borders.left, frame.top - w.borders.top, frame.right + w.borders.right,
                frame.bottom + w.borders.bottom};
}

int CopyWide(const std::string& utf8, LPWSTR out, int size) {
    // UTF-8 to UTF-16 units, one unit per wchar_t here.
    std::vector<wchar_t> units;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c = b;
        std::size_t n = 1;
        if (b >= 0xF0) {
            c = b & 0x07u;
            n = 4;
        } else if (b >= 0xE0) {
            c = b & 0x0Fu;
            n = 3;
        } else if (b >= 0xC0) {
            c = b & 0x1Fu;
            n = 2;
        }
        for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3Fu);
        if (c >= 0x10000) {
            units.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<wchar_t>(c));
        }
        i += n;
    }
    if (out == nullptr || size <= 0) return 0;
    const std::size_t n = std::min(units.size(), static_cast<std::size_t>(size - 1));
    std::copy(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(n), out);
    out[n] = 0;
    return static_cast<int>(n);
}

}  // namespace
}  // namespace sim

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"ShowWindow", hWnd, nCmdShow});
    sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) return FALSE;
    // Carried out by the window's own thread, and waited for.
    if (w->hung) {
        d.blockedCalls.push_back("ShowWindow");
        return FALSE;
    }
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    sim::ApplyShow(*w, nCmdShow);
    return wasVisible;
}

BOOL WINAPI ShowWindowAsync(HWND hWnd, int nCmdShow) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"ShowWindowAsync", hWnd, nCmdShow});
    sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    if (!w->hung) sim::ApplyShow(*w, nCmdShow);  // posted: a hung thread never gets to it
    return TRUE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return 0;
    return sim::CopyWide(w->title, lpString, nMaxCount);
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return 0;
    return sim::CopyWide(w->className, lpClassName, nMaxCount);
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    const sim::Window* w = sim::FindWindow(hWnd);
    return (w != nullptr && w->alive && w->visible) ? TRUE : FALSE;
}

BOOL WINAPI IsZoomed(HWND hWnd) {
    const sim::Window* w = sim::FindWindow(hWnd);
    return (w != nullptr && w->alive && w->maximized && !w->minimized) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = sim::WindowRect(*w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    const RECT r = sim::WindowRect(*w);
    const LONG width =
        (r.right - w->borders.right - w->clientInsets.right) - (r.left + w->borders.left + w->clientInsets.left);
    const LONG height =
        (r.bottom - w->borders.bottom - w->clientInsets.bottom) - (r.top + w->borders.top + w->clientInsets.top);
    *lpRect = RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, POINT* lpPoint) {
    const sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr || lpPoint == nullptr) return FALSE;
    const RECT r = sim::WindowRect(*w);
    lpPoint->x += r.left + w->borders.left + w->clientInsets.left;
    lpPoint->y += r.top + w->borders.top + w->clientInsets.top;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"SetWindowPos", hWnd, static_cast<int>(uFlags)});
    sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    if (w->hung) {
        if (!(uFlags & SWP_ASYNCWINDOWPOS)) d.blockedCalls.push_back("SetWindowPos");
        return TRUE;
    }
    // X, Y, cx and cy place the window rectangle; the frame lies inside it by the borders.
    const LONG width = (uFlags & SWP_NOSIZE) ? w->frame.right - w->frame.left : cx - w->borders.left - w->borders.right;
    const LONG height =
        (uFlags & SWP_NOSIZE) ? w->frame.bottom - w->frame.top : cy - w->borders.top - w->borders.bottom;
    w->frame.left = X + w->borders.left;
    w->frame.top = Y + w->borders.top;
    w->frame.right = w->frame.left + width;
    w->frame.bottom = w->frame.top + height;
    return TRUE;
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM) {
    sim::Window* w = sim::LiveWindow(hWnd);
    if (w == nullptr) return FALSE;
    w->posted.emplace_back(Msg, wParam);
    // The window's thread closes it when it reads the message, unless it has stopped reading.
    if (Msg == WM_CLOSE && !w->hung) w->alive = false;
    return TRUE;
}

HRESULT WINAPI DwmGetWindowAttribute(HWND hwnd, DWORD dwAttribute, PVOID pvAttribute, DWORD cbAttribute) {
    const sim::Window* w = sim::LiveWindow(hwnd);
    if (w == nullptr || pvAttribute == nullptr) return E_INVALIDARG;
    if (dwAttribute == DWMWA_CLOAKED && cbAttribute == sizeof(DWORD)) {
        *static_cast<DWORD*>(pvAttribute) = w->cloaked ? 2 : 0;
        return S_OK;
    }
    if (dwAttribute == DWMWA_EXTENDED_FRAME_BOUNDS && cbAttribute == sizeof(RECT) && w->dwmFrame) {
        const RECT r = sim::WindowRect(*w);
        *static_cast<RECT*>(pvAttribute) = RECT{r.left + w->borders.left, r.top + w->borders.top,
                                                r.right - w->borders.right, r.bottom - w->borders.bottom};
        return S_OK;
    }
    return E_INVALIDARG;
}

DWORD WINAPI GetCurrentProcessId() { return sim::State().currentProcess; }

BOOL WINAPI ProcessIdToSessionId(DWORD dwProcessId, DWORD* pSessionId) {
    Desktop& d = sim::State();
    if (dwProcessId != d.currentProcess || pSessionId == nullptr) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    *pSessionId = d.session;
    return TRUE;
}

namespace sim {
namespace {
int g_inputDesktopMarker = 0;
}  // namespace
}  // namespace sim

HDESK WINAPI OpenInputDesktop(DWORD, BOOL, DWORD) {
    Desktop& d = sim::State();
    if (d.inputDesktop.empty()) {
        d.lastError = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    return reinterpret_cast<HDESK>(&sim::g_inputDesktopMarker);
}

BOOL WINAPI GetUserObjectInformationW(HANDLE hObj, int nIndex, PVOID pvInfo, DWORD nLength, LPDWORD lpnLengthNeeded) {
    Desktop& d = sim::State();
    if (hObj != &sim::g_inputDesktopMarker || nIndex != UOI_NAME) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    wchar_t name[256];
    const int n = sim::CopyWide(d.inputDesktop, name, 256);
    const auto needed = static_cast<DWORD>((n + 1) * sizeof(wchar_t));
    if (lpnLengthNeeded != nullptr) *lpnLengthNeeded = needed;
    if (pvInfo == nullptr || nLength < needed) {
        d.lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
        return FALSE;
    }
    std::copy(name, name + n + 1, static_cast<wchar_t*>(pvInfo));
    return TRUE;
}

BOOL WINAPI CloseDesktop(HDESK hDesktop) { return hDesktop == reinterpret_cast<HDESK>(&sim::g_inputDesktopMarker); }

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    Desktop& d = sim::State();
    if (d.recording) d.windowCalls.push_back({"SetForegroundWindow", hWnd, 0});
    const sim::Window* w = sim::FindWindow(hWnd);
    if (d.refuseForeground || w == nullptr || !w->alive) return FALSE;
    if (d.foregroundLock) {
        const sim::Window* front = sim::FindWindow(d.foreground);
        const bool ownsForeground = front != nullptr && front->alive && front->process == d.currentProcess;
        const bool sentLastInput = d.lastInputProcess == d.currentProcess;
        const bool attached = front != nullptr && std::find(d.attachedInputs.begin(), d.attachedInputs.end(),
                                                            std::pair<DWORD, DWORD>{d.currentThread, front->thread}) !=
                                                      d.attachedInputs.end();
        if (!ownsForeground && !sentLastInput && !attached && front != nullptr && front->alive) return FALSE;
    }
    if (d.foregroundLag == 0) {
        d.foreground = hWnd;
        d.pendingForeground = nullptr;
    } else {
        d.pendingForeground = hWnd;
        d.pendingReads = d.foregroundLag;
    }
    return TRUE;
}

HWND WINAPI GetForegroundWindow() {
    Desktop& d = sim::State();
    ++d.foregroundReads;
    if (d.pendingForeground != nullptr && d.pendingReads >= 0 && d.pendingReads-- == 0) {
        d.foreground = d.pendingForeground;
        d.pendingForeground = nullptr;
    }
    const sim::Window* w = sim::FindWindow(d.foreground);
    return (w != nullptr && w->alive) ? d.foreground : nullptr;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, DWORD* lpdwProcessId) {
    const sim::Window* w = sim::FindWindow(hWnd);
    if (w == nullptr || !w->alive) {
        sim::State().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (lpdwProcessId != nullptr) *lpdwProcessId = w->process;
    return w->thread;
}

BOOL WINAPI AttachThreadInput(DWORD idAttach, DWORD idAttachTo, BOOL fAttach) {
    Desktop& d = sim::State();
    if (d.recording) d.attachCalls.push_back((fAttach ? "attach " : "detach ") + std::to_string(idAttachTo));
    const std::pair<DWORD, DWORD> link{idAttach, idAttachTo};
    const auto found = std::find(d.attachedInputs.begin(), d.attachedInputs.end(), link);
    if (idAttach == idAttachTo || (fAttach != 0) == (found != d.attachedInputs.end())) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (fAttach) {
        d.attachedInputs.push_back(link);
    } else {
        d.attachedInputs.erase(found);
    }
    return TRUE;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
    Desktop& d = sim::State();
    const sim::Window* front = sim::FindWindow(d.foreground);
    const bool current = front != nullptr &&
                         std::find(d.attachedInputs.begin(), d.attachedInputs.end(),
                                   std::pair<DWORD, DWORD>{d.currentThread, front->thread}) != d.attachedInputs.end();
    if (!current) return 0;  // what the thread last read: nothing
    SHORT state = 0;
    if (nVirtKey == VK_CAPITAL && d.capsLock) state |= 1;
    if (nVirtKey == VK_NUMLOCK && d.numLock) state |= 1;
    if (sim::IsDown(d, static_cast<WORD>(nVirtKey), static_cast<WORD>(nVirtKey), static_cast<WORD>(nVirtKey)))
        state = static_cast<SHORT>(state | static_cast<SHORT>(0x8000));
    return state;
}

BOOL WINAPI SetProcessDPIAware() {
    ++sim::State().dpiAwareCalls;
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    Desktop& d = sim::State();
    if (d.recording) d.sleeps.push_back(dwMilliseconds);
    d.tickCount += dwMilliseconds * d.clockScale;
}

ULONGLONG WINAPI GetTickCount64() { return sim::State().tickCount; }

DWORD WINAPI GetCurrentThreadId() { return sim::State().currentThread; }

DWORD WINAPI GetLastError() { return sim::State().lastError; }

void WINAPI SetLastError(DWORD dwErrCode) { sim::State().lastError = dwErrCode; }

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    if (lpModuleName == nullptr || !sim::State().user32Loaded) return nullptr;
    std::wstring name(lpModuleName);
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    if (name != L"user32.dll" && name != L"user32") return nullptr;
    return reinterpret_cast<HMODULE>(&sim::g_user32Marker);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule != reinterpret_cast<HMODULE>(&sim::g_user32Marker) || lpProcName == nullptr) return nullptr;
    if (std::string_view(lpProcName) == "SetProcessDpiAwarenessContext" && sim::State().hasDpiAwarenessContext) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&sim::SimSetProcessDpiAwarenessContext));
    }
    return nullptr;
}

// GDI: the screen's device context, memory device contexts and device-independent bitmaps.
namespace sim {
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

// Unix descriptors behind file handles, offset so that no handle is null or INVALID_HANDLE_VALUE.
struct OpenFile {
    int fd;
    std::int64_t written;
};

std::string FromWide(LPCWSTR text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        auto u = static_cast<char32_t>(*text & 0xFFFF);
        if (u >= 0xD800 && u <= 0xDBFF && text[1] != 0) {
            u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<char32_t>(text[1] & 0xFFFF) - 0xDC00);
            ++text;
        }
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else if (u < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (u >> 18)));
            out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

DWORD ErrnoToError(int e) {
    switch (e) {
        case ENOENT: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return ERROR_ACCESS_DENIED;
        case ENOSPC: return ERROR_DISK_FULL;
        default: return ERROR_INVALID_PARAMETER;
    }
}

}  // namespace
}  // namespace sim

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
    d.blitRops.push_back(rop);
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

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD, void*, DWORD dwCreationDisposition, DWORD,
                          HANDLE) {
    Desktop& d = sim::State();
    const std::string path = sim::FromWide(lpFileName);
    if (d.filesClosed) {
        d.lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    if (d.failCreate != 0) {
        d.lastError = std::exchange(d.failCreate, 0);
        return INVALID_HANDLE_VALUE;
    }
    if (dwDesiredAccess != GENERIC_WRITE || dwCreationDisposition != CREATE_ALWAYS) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        d.lastError = sim::ErrnoToError(errno);
        return INVALID_HANDLE_VALUE;
    }
    d.filesCreated.push_back(path);
    return reinterpret_cast<HANDLE>(new sim::OpenFile{fd, 0});
}

BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD n, DWORD* written, void*) {
    Desktop& d = sim::State();
    auto* file = reinterpret_cast<sim::OpenFile*>(hFile);
    if (written != nullptr) *written = 0;
    if (file == nullptr || hFile == INVALID_HANDLE_VALUE) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    DWORD allowed = n;
    if (d.failWriteAt >= 0 && file->written + n > d.failWriteAt) {
        allowed = static_cast<DWORD>(std::max<std::int64_t>(d.failWriteAt - file->written, 0));
    }
    const auto* bytes = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    while (done < allowed) {
        const ssize_t k = ::write(file->fd, bytes + done, allowed - done);
        if (k <= 0) {
            d.lastError = sim::ErrnoToError(errno);
            return FALSE;
        }
        done += static_cast<DWORD>(k);
    }
    file->written += done;
    if (written != nullptr) *written = done;
    if (allowed < n) {
        d.lastError = d.failWriteError;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    auto* file = reinterpret_cast<sim::OpenFile*>(hObject);
    if (file == nullptr || hObject == INVALID_HANDLE_VALUE) return FALSE;
    ::close(file->fd);
    delete file;
    return TRUE;
}

BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    Desktop& d = sim::State();
    if (d.failMove != 0) {
        d.lastError = std::exchange(d.failMove, 0);
        return FALSE;
    }
    if (!(flags & MOVEFILE_REPLACE_EXISTING) || ::rename(sim::FromWide(from).c_str(), sim::FromWide(to).c_str()) != 0) {
        d.lastError = (flags & MOVEFILE_REPLACE_EXISTING) ? sim::ErrnoToError(errno) : ERROR_ACCESS_DENIED;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    if (::unlink(sim::FromWide(lpFileName).c_str()) != 0) {
        sim::State().lastError = sim::ErrnoToError(errno);
        return FALSE;
    }
    return TRUE;
}

// The clipboard and the global memory blocks it takes.
namespace sim {
namespace {

struct GlobalBlock {
    std::vector<std::uint8_t> bytes;
    int locks = 0;
};

HGLOBAL g_clipboardData = nullptr;  // the block the clipboard owns, made on GetClipboardData

}  // namespace
}  // namespace sim

UINT WINAPI GetDoubleClickTime() { return sim::State().doubleClickTime; }

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

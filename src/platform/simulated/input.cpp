// The simulated desktop's input: the US English layout, SendInput and what the records do to the
// pointer and the keys, the system metrics, the cursor and the key state.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <algorithm>
#include <cstdlib>
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

// Where an absolute coordinate lands: origin + floor(abs * extent / 65536), as the platform
// decodes it.
LONG DecodeAbsolute(LONG abs, int origin, int extent) {
    return static_cast<LONG>(origin + (static_cast<long long>(abs) * extent) / 65536);
}

LONG ClampInto(LONG v, int origin, int extent) {
    if (extent <= 0) return origin;
    return std::clamp<LONG>(v, origin, origin + extent - 1);
}

}  // namespace

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
// on the US layout: Shift picks the second character of the key, Caps Lock (as the window's
// thread sees it) swaps the case of letters (and only letters). Nothing while Ctrl or Alt is down.
namespace {

void TypeLayoutCharacter(Desktop& d, WORD vk) {
    const Window* front = FindWindow(d.foreground);
    if (IsDown(d, VK_CONTROL, VK_LCONTROL, VK_RCONTROL) || IsDown(d, VK_MENU, VK_LMENU, VK_RMENU)) return;
    const bool shift = IsDown(d, VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    const auto wanted = static_cast<SHORT>(((shift ? 1 : 0) << 8) | vk);
    for (int c = '\t'; c < 0x7F; ++c) {
        if (c > '\r' && c < 0x20) continue;  // of the control characters, Tab and Enter type
        if (c == '\n' || c == '\v' || c == '\f') continue;
        if (d.vkScan[static_cast<std::size_t>(c)] != wanted) continue;
        char ch = static_cast<char>(c);
        const bool capsLock = front != nullptr ? LocksSeenBy(front->thread).capsLock : d.capsLock;
        if (capsLock && ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'))) ch = static_cast<char>(ch ^ 0x20);
        d.layoutText.push_back(ch);
        return;
    }
}

}  // namespace

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
    if ((stroke.vk == VK_CAPITAL || stroke.vk == VK_NUMLOCK) && !repeat) {
        const bool caps = stroke.vk == VK_CAPITAL;
        (caps ? d.capsLock : d.numLock) ^= true;
        // A window's thread with toggles of its own sees the key if it is in front.
        const Window* front = FindWindow(d.foreground);
        const auto own = front != nullptr ? d.threadLocks.find(front->thread) : d.threadLocks.end();
        if (own != d.threadLocks.end()) (caps ? own->second.capsLock : own->second.numLock) ^= true;
    }
    if (d.recording) TypeLayoutCharacter(d, stroke.vk);
}

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


std::uint32_t KeyIdentity(const KEYBDINPUT& ki) {
    if (ki.dwFlags & KEYEVENTF_UNICODE) return 0x10000u | ki.wScan;
    if (ki.dwFlags & KEYEVENTF_SCANCODE)
        return 0x20000u | ((ki.dwFlags & KEYEVENTF_EXTENDEDKEY) ? 0x100u : 0u) | ki.wScan;
    return 0x40000u | ki.wVk;
}

WORD ScanToVk(WORD scan, bool extended) {
    return scan < 256 ? State().scanToVk[(extended ? 256u : 0u) + scan] : WORD{0};
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

InputArea::Locks LocksSeenBy(DWORD thread) {
    const Desktop& d = State();
    const auto own = d.threadLocks.find(thread);
    return own != d.threadLocks.end() ? own->second : InputArea::Locks{d.capsLock, d.numLock};
}

std::vector<KEYBDINPUT> AllKeyRecords() {
    std::vector<KEYBDINPUT> records;
    for (const auto& batch : State().batches) {
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
    if (accept > 0) {
        d.lastInputProcess = d.currentProcess;
        d.lastInputTick = d.tickCount;
    }
    sim::Window* front = sim::FindWindow(d.foreground);
    for (UINT i = 0; i < accept; ++i) {
        if (pInputs[i].type == INPUT_MOUSE) sim::ApplyMouse(d, pInputs[i].mi);
        if (pInputs[i].type == INPUT_KEYBOARD) {
            sim::ApplyKey(d, pInputs[i].ki);
            if (front != nullptr && front->alive) ++front->unreadInput;
        }
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

SHORT WINAPI GetKeyState(int nVirtKey) {
    Desktop& d = sim::State();
    // An attached thread reads the key state of the input it joined.
    DWORD reader = d.currentThread;
    for (const auto& [from, to] : d.attachedInputs) {
        if (from == d.currentThread) reader = to;
    }
    const bool windowThread = std::any_of(d.windows.begin(), d.windows.end(),
                                          [reader](const sim::Window& w) { return w.alive && w.thread == reader; });
    const sim::InputArea::Locks locks = sim::LocksSeenBy(reader);
    SHORT state = 0;
    if (nVirtKey == VK_CAPITAL && locks.capsLock) state |= 1;
    if (nVirtKey == VK_NUMLOCK && locks.numLock) state |= 1;
    // Only a thread that reads the keys knows which are down.
    if (windowThread &&
        sim::IsDown(d, static_cast<WORD>(nVirtKey), static_cast<WORD>(nVirtKey), static_cast<WORD>(nVirtKey)))
        state = static_cast<SHORT>(state | static_cast<SHORT>(0x8000));
    return state;
}

UINT WINAPI GetDoubleClickTime() { return sim::State().doubleClickTime; }

BOOL WINAPI GetLastInputInfo(LASTINPUTINFO* plii) {
    if (plii == nullptr || plii->cbSize != sizeof(LASTINPUTINFO)) return FALSE;
    plii->dwTime = static_cast<DWORD>(sim::State().lastInputTick);
    return TRUE;
}

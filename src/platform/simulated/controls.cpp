// The simulated desktop's child controls: enumeration, their facts, the messages standard
// controls answer (text, buttons, combo and list boxes, list views) with Windows' refusals, the
// notifications their parents receive, and the memory a program reserves in another process.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace sim {

HWND AddControl(HWND parent, const std::string& className, int id, const std::string& text, LONG_PTR style) {
    Desktop& d = State();
    const auto value = static_cast<std::uintptr_t>(0x50020 + 0x1C * d.controls.size());
    Control c{};
    c.handle = reinterpret_cast<HWND>(value);
    c.parent = parent;
    c.className = className;
    c.id = id;
    c.text = text;
    c.style = style;
    d.controls.push_back(c);
    return c.handle;
}

Control* FindControl(HWND handle) {
    for (Control& c : State().controls) {
        if (c.handle == handle && c.alive) return &c;
    }
    return nullptr;
}

namespace {

// The top-level window a control belongs to.
Window* TopOf(const Control& c) {
    HWND h = c.parent;
    for (int depth = 0; depth < 64; ++depth) {
        if (Window* w = FindWindow(h)) return w;
        const Control* up = FindControl(h);
        if (up == nullptr) return nullptr;
        h = up->parent;
    }
    return nullptr;
}

bool IsDescendant(const Control& c, HWND ancestor) {
    HWND h = c.parent;
    for (int depth = 0; depth < 64; ++depth) {
        if (h == ancestor) return true;
        const Control* up = FindControl(h);
        if (up == nullptr) return false;
        h = up->parent;
    }
    return false;
}

bool ClassIs(const Control& c, const char* name) {
    if (c.className.size() != std::strlen(name)) return false;
    for (std::size_t i = 0; i < c.className.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(c.className[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

// UTF-16 length of UTF-8 text (as the control holds it in UTF-16).
LRESULT WideLength(const std::string& text) {
    std::vector<wchar_t> buffer(text.size() + 1);
    return CopyWide(text, buffer.data(), static_cast<int>(buffer.size()));
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM to) {
    if (to == 0 || size == 0) return 0;
    return CopyWide(text, reinterpret_cast<LPWSTR>(to), static_cast<int>(size));
}

// Copies without a size: the caller sized the buffer by the length message.
LRESULT CopyTextUnbounded(const std::string& text, LPARAM to) {
    if (to == 0) return -1;
    const LRESULT length = WideLength(text);
    return CopyWide(text, reinterpret_cast<LPWSTR>(to), static_cast<int>(length + 1));
}

void Notify(const Control& c, WORD code) {
    State().notifications.push_back({c.parent, c.id, code});
}

bool IsCheckable(const Control& c) {
    const LONG_PTR type = c.style & BS_TYPEMASK;
    return ClassIs(c, "Button") && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                                    type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON);
}

// What a button does with a click: an automatic check box toggles, an automatic radio button is
// checked and its siblings unchecked, and its parent hears BN_CLICKED (0). Windows ignores a
// click on a disabled button.
void Click(Control& c) {
    c.clicks.emplace_back("BM_CLICK");
    if (!c.enabled) return;
    const LONG_PTR type = c.style & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) c.checked = c.checked == BST_CHECKED ? 0 : BST_CHECKED;
    if (type == BS_AUTORADIOBUTTON) {
        for (Control& other : State().controls) {
            if (other.parent == c.parent && (other.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) other.checked = 0;
        }
        c.checked = BST_CHECKED;
    }
    Notify(c, 0);
}

LRESULT ListViewMessage(Control& c, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case LVM_GETITEMCOUNT: return static_cast<LRESULT>(c.rows.size());
        case LVM_GETHEADER:
            for (const Control& child : State().controls) {
                if (child.alive && child.parent == c.handle && ClassIs(child, "SysHeader32"))
                    return reinterpret_cast<LRESULT>(child.handle);
            }
            return 0;
        case LVM_GETNEXTITEM: return (lParam & LVNI_SELECTED) && c.selected >= static_cast<int>(wParam + 1) ? c.selected : -1;
        case LVM_GETITEMTEXTW: {
            // lParam points into memory reserved in this process (here: the same address space).
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (item == nullptr || wParam >= c.rows.size()) return 0;
            const auto& row = c.rows[wParam];
            const std::string text = item->iSubItem >= 0 && static_cast<std::size_t>(item->iSubItem) < row.size()
                                         ? row[static_cast<std::size_t>(item->iSubItem)]
                                         : std::string();
            if (item->pszText == nullptr || item->cchTextMax <= 0) return 0;
            return CopyWide(text, item->pszText, item->cchTextMax);
        }
        default: return 0;
    }
}

LRESULT ControlMessage(Control& c, UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool combo = ClassIs(c, "ComboBox");
    const bool list = ClassIs(c, "ListBox");
    const bool password = ClassIs(c, "Edit") && (c.style & ES_PASSWORD);
    switch (msg) {
        case WM_NULL: return 0;
        // Windows refuses another process a password field's text.
        case WM_GETTEXTLENGTH: return password ? 0 : WideLength(c.text);
        case WM_GETTEXT: return password ? 0 : CopyText(c.text, wParam, lParam);
        case WM_SETTEXT:
            if (!c.ignoresText && lParam != 0) c.text = FromWide(reinterpret_cast<LPCWSTR>(lParam));
            return TRUE;
        case BM_GETCHECK: return IsCheckable(c) ? c.checked : 0;
        case BM_CLICK:
            if (ClassIs(c, "Button")) Click(c);
            return 0;
        default: break;
    }
    const auto count = static_cast<LRESULT>(c.items.size());
    const bool inRange = wParam < c.items.size();
    if (combo) {
        switch (msg) {
            case CB_GETCOUNT: return count;
            case CB_GETCURSEL: return c.selected;
            case CB_GETLBTEXTLEN: return inRange ? WideLength(c.items[wParam]) : -1;
            case CB_GETLBTEXT: return inRange ? CopyTextUnbounded(c.items[wParam], lParam) : -1;
            case CB_SETCURSEL:  // selects and tells nobody
                c.selected = inRange ? static_cast<int>(wParam) : -1;
                return inRange ? static_cast<LRESULT>(wParam) : -1;
            default: return 0;
        }
    }
    if (list) {
        switch (msg) {
            case LB_GETCOUNT: return count;
            case LB_GETCURSEL: return c.selected;
            case LB_GETTEXTLEN: return inRange ? WideLength(c.items[wParam]) : -1;
            case LB_GETTEXT: return inRange ? CopyTextUnbounded(c.items[wParam], lParam) : -1;
            case LB_SETCURSEL:
                c.selected = inRange ? static_cast<int>(wParam) : -1;
                return inRange ? static_cast<LRESULT>(wParam) : -1;
            default: return 0;
        }
    }
    if (ClassIs(c, "SysListView32")) return ListViewMessage(c, msg, wParam, lParam);
    if (ClassIs(c, "SysHeader32") && msg == HDM_GETITEMCOUNT) {
        const Control* view = FindControl(c.parent);
        return view != nullptr ? view->columns : 0;
    }
    return 0;
}

}  // namespace

Window* TopWindowOf(const Control& c) { return TopOf(c); }

namespace {

struct SimProcess {
    DWORD pid;
};

std::vector<SimProcess*>& OpenProcesses() {
    static std::vector<SimProcess*> open;
    return open;
}

}  // namespace

HANDLE OpenProcessHandle(DWORD pid) {
    auto* process = new SimProcess{pid};
    OpenProcesses().push_back(process);
    return process;
}

bool CloseProcessHandle(HANDLE handle) {
    auto& open = OpenProcesses();
    const auto found = std::find(open.begin(), open.end(), static_cast<SimProcess*>(handle));
    if (found == open.end()) return false;
    delete *found;
    open.erase(found);
    --State().openProcesses;
    return true;
}

}  // namespace sim

using sim::Desktop;

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    const auto oneCall = sim::OneCallAtATime();
    std::vector<HWND> handles;
    for (const sim::Control& c : sim::State().controls) {
        if (c.alive && sim::IsDescendant(c, hWndParent)) handles.push_back(c.handle);
    }
    for (HWND h : handles) {
        if (!lpEnumFunc(h, lParam)) break;
    }
    return TRUE;
}

// The text the window itself holds, with no message: what WM_SETTEXT left there through
// DefWindowProc. Buttons, statics, list boxes, list views and headers keep their text so; other
// controls keep their own (an edit its buffer), and here hold none in the window.
int WINAPI InternalGetWindowText(HWND hWnd, LPWSTR pString, int cchMaxCount) {
    const auto oneCall = sim::OneCallAtATime();
    const sim::Control* c = sim::FindControl(hWnd);
    if (c == nullptr || pString == nullptr || cchMaxCount <= 0) return 0;
    if (!sim::ClassIs(*c, "Button") && !sim::ClassIs(*c, "Static") && !sim::ClassIs(*c, "ListBox") &&
        !sim::ClassIs(*c, "SysListView32") && !sim::ClassIs(*c, "SysHeader32")) {
        pString[0] = 0;
        return 0;
    }
    return static_cast<int>(sim::CopyWide(c->text, pString, cchMaxCount));
}

// The class atom: one number for each class name, letters compared without case as the atom
// table compares them.
DWORD WINAPI GetClassLongW(HWND hWnd, int nIndex) {
    const auto oneCall = sim::OneCallAtATime();
    Desktop& d = sim::State();
    const sim::Control* c = sim::FindControl(hWnd);
    const sim::Window* w = c == nullptr ? sim::FindWindow(hWnd) : nullptr;
    if ((c == nullptr && (w == nullptr || !w->alive)) || nIndex != GCW_ATOM) return 0;
    const std::string& name = c != nullptr ? c->className : w->className;
    const auto same = [&](const std::string& known) {
        return known.size() == name.size() && std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    };
    auto found = std::find_if(d.classAtoms.begin(), d.classAtoms.end(), same);
    if (found == d.classAtoms.end()) found = d.classAtoms.insert(found, name);
    return 0xC000 + static_cast<DWORD>(found - d.classAtoms.begin());
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
    const auto oneCall = sim::OneCallAtATime();
    const sim::Control* c = sim::FindControl(hwnd);
    if (c == nullptr || gaFlags != GA_PARENT) return nullptr;
    return c->parent;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    const auto oneCall = sim::OneCallAtATime();
    const sim::Control* c = sim::FindControl(hWnd);
    return c != nullptr ? c->id : 0;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
    const auto oneCall = sim::OneCallAtATime();
    const sim::Control* c = sim::FindControl(hWnd);
    if (c == nullptr || nIndex != GWL_STYLE) return 0;
    return c->style | (c->enabled ? 0 : WS_DISABLED) | (c->visible ? WS_VISIBLE : 0);
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    const auto oneCall = sim::OneCallAtATime();
    const sim::Control* c = sim::FindControl(hWnd);
    if (c != nullptr) return c->enabled ? TRUE : FALSE;
    const sim::Window* w = sim::FindWindow(hWnd);
    return w != nullptr && w->alive ? TRUE : FALSE;
}

LRESULT WINAPI SendMessageTimeoutW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags, UINT uTimeout,
                                   DWORD_PTR* lpdwResult) {
    const auto oneCall = sim::OneCallAtATime();
    Desktop& d = sim::State();
    d.sentMessages.push_back(Msg);
    sim::Control* c = sim::FindControl(hWnd);
    sim::Window* w = c != nullptr ? sim::TopWindowOf(*c) : sim::FindWindow(hWnd);
    if ((c == nullptr && (w == nullptr || !w->alive))) {
        d.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    const bool hung = d.controlsHung || (w != nullptr && w->hung);
    if (hung && (fuFlags & SMTO_ABORTIFHUNG)) {
        d.lastError = ERROR_TIMEOUT;
        return 0;
    }
    if (hung || d.controlsBusy) {
        d.tickCount += uTimeout;  // waited out its limit
        d.lastError = ERROR_TIMEOUT;
        return 0;
    }
    LRESULT result = 0;
    if (c != nullptr) {
        result = sim::ControlMessage(*c, Msg, wParam, lParam);
    } else if (Msg == WM_COMMAND) {
        const sim::Control* from = sim::FindControl(reinterpret_cast<HWND>(lParam));
        d.notifications.push_back({hWnd, static_cast<int>(wParam & 0xFFFF), static_cast<WORD>(wParam >> 16)});
        (void)from;
    }
    if (lpdwResult != nullptr) *lpdwResult = static_cast<DWORD_PTR>(result);
    return 1;
}

HANDLE WINAPI OpenProcess(DWORD, BOOL, DWORD dwProcessId) {
    Desktop& d = sim::State();
    if (dwProcessId == 0) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    ++d.openProcesses;
    return sim::OpenProcessHandle(dwProcessId);
}

void* WINAPI VirtualAllocEx(HANDLE, void*, SIZE_T dwSize, DWORD, DWORD) {
    ++sim::State().remoteBlocks;
    return ::operator new(dwSize);
}

BOOL WINAPI VirtualFreeEx(HANDLE, void* lpAddress, SIZE_T, DWORD dwFreeType) {
    if (lpAddress == nullptr || dwFreeType != MEM_RELEASE) return FALSE;
    --sim::State().remoteBlocks;
    ::operator delete(lpAddress);
    return TRUE;
}

BOOL WINAPI WriteProcessMemory(HANDLE, void* lpBaseAddress, const void* lpBuffer, SIZE_T nSize, SIZE_T* written) {
    std::memcpy(lpBaseAddress, lpBuffer, nSize);
    if (written != nullptr) *written = nSize;
    return TRUE;
}

BOOL WINAPI ReadProcessMemory(HANDLE, const void* lpBaseAddress, void* lpBuffer, SIZE_T nSize, SIZE_T* read) {
    std::memcpy(lpBuffer, lpBaseAddress, nSize);
    if (read != nullptr) *read = nSize;
    return TRUE;
}

BOOL WINAPI IsWow64Process(HANDLE, BOOL* Wow64Process) {
    if (Wow64Process == nullptr) return FALSE;
    *Wow64Process = sim::State().remoteIs32Bit ? TRUE : FALSE;
    return TRUE;
}

#include "controls/control_list.h"

#include "base/utf16.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <mutex>
#include <unordered_map>

namespace {

// Visits the window's descendants in EnumChildWindows order until `visit` returns false.
template <typename Visit>
void ForEachDescendant(HWND window, Visit visit) {
    EnumChildWindows(
        window,
        [](HWND hwnd, LPARAM context) -> BOOL { return (*reinterpret_cast<Visit*>(context))(hwnd) ? TRUE : FALSE; },
        reinterpret_cast<LPARAM>(&visit));
}

// The text of a control as WM_GETTEXT gives it, whole. Most controls' texts are short: a first
// read into a buffer of kShortText units takes them in one message; a text that fills it is
// read again at the length the control gives.
constexpr std::size_t kShortText = 512;

// The classes whose WM_GETTEXT is DefWindowProc's: they keep their text in the window itself.
bool KeepsTextInWindow(std::string_view className) {
    for (const std::string_view name : {"Button", "Static", "ListBox", "SysListView32", "SysHeader32"}) {
        if (ClassIs(className, name)) return true;
    }
    return false;
}

// A listed control's text. A class that keeps its text in the window is read from there without
// a message to its thread, which costs several times as much; a text that may not fit is read by
// message. Every other class answers its own WM_GETTEXT (an edit from its buffer) and is asked.
std::optional<std::string> ListedText(HWND control, const std::string& className) {
    if (KeepsTextInWindow(className)) {
        wchar_t text[kShortText];
        const int length = InternalGetWindowText(control, text, static_cast<int>(kShortText));
        if (length >= 0 && static_cast<std::size_t>(length) + 1 < kShortText) {
            return Utf16ToUtf8(text, static_cast<std::size_t>(length));
        }
    }
    return MessageText(control);
}

// Numbers controls by class in the order they come: the ClassNN of each.
class ClassNumbers {
   public:
    std::string Next(const std::string& className) {
        for (auto& [name, count] : counts_) {
            if (name == className) return className + std::to_string(++count);
        }
        counts_.emplace_back(className, 1);
        return className + "1";
    }

   private:
    std::vector<std::pair<std::string, int>> counts_;
};

// Class names for one pass over a window's controls, kept by class atom: the controls share a
// few classes, and the atom is one call to the system where the name is two. Only for one pass:
// an atom freed with its class may later number another. Threads of one pass share it.
class ClassNames {
   public:
    std::string Of(HWND control) {
        const DWORD atom = GetClassLongW(control, GCW_ATOM);
        if (atom == 0) return ControlClass(control);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (const auto& [known, name] : names_) {
                if (known == atom) return name;
            }
        }
        std::string name = ControlClass(control);
        const std::lock_guard<std::mutex> lock(mutex_);
        names_.emplace_back(atom, name);
        return name;
    }

   private:
    std::mutex mutex_;
    std::vector<std::pair<DWORD, std::string>> names_;
};

bool IsPassword(std::string_view className, DWORD style) {
    return (style & ES_PASSWORD) != 0 && ClassIs(className, "Edit");
}

}  // namespace

std::optional<std::string> MessageText(HWND control) {
    wchar_t shortText[kShortText];
    const std::optional<LRESULT> first =
        SendToControl(control, WM_GETTEXT, kShortText, reinterpret_cast<LPARAM>(shortText));
    if (!first) return std::nullopt;
    if (*first >= 0 && static_cast<std::size_t>(*first) + 1 < kShortText) {
        return Utf16ToUtf8(shortText, static_cast<std::size_t>(*first));
    }
    const std::optional<LRESULT> length = SendToControl(control, WM_GETTEXTLENGTH);
    if (!length) return std::nullopt;
    if (*length <= 0) return std::string();
    std::vector<wchar_t> units(static_cast<std::size_t>(*length) + 1);
    const std::optional<LRESULT> copied =
        SendToControl(control, WM_GETTEXT, units.size(), reinterpret_cast<LPARAM>(units.data()));
    if (!copied) return std::nullopt;
    const auto count = std::min(static_cast<std::size_t>(std::max<LRESULT>(*copied, 0)), units.size() - 1);
    return Utf16ToUtf8(units.data(), count);
}

std::optional<LRESULT> SendToControl(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, std::uint32_t timeoutMs) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(control, msg, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result) == 0) return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::string HandleText(HWND hwnd) {
    char digits[24];
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hwnd));
    const char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    return "0x" + std::string(digits, static_cast<std::size_t>(end - digits));
}

std::string NoAnswer(HWND control) {
    return "Timed out after " + std::to_string(kControlTimeoutMs) + " ms waiting for " + HandleText(control) +
           " to answer";
}

std::string ControlClass(HWND control) {
    wchar_t name[256];
    const int length = GetClassNameW(control, name, 256);
    return length > 0 ? Utf16ToUtf8(name, static_cast<std::size_t>(length)) : std::string();
}

bool ClassIs(std::string_view className, std::string_view name) {
    if (className.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (fold(className[i]) != fold(name[i])) return false;
    }
    return true;
}

bool IsPasswordField(HWND control) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    return (style & ES_PASSWORD) != 0 && IsPassword(ControlClass(control), style);
}

std::string ListControls(HWND window, HelperThreads& helpers, std::vector<ControlInfo>& controls) {
    std::vector<HWND> found;
    ForEachDescendant(window, [&](HWND hwnd) {
        found.push_back(hwnd);
        return true;
    });
    // Each control's facts are calls about another program's window, and its text may be a
    // message to that program's thread: round trips that the helper threads share, each control
    // read whole by one of them. The first control (in order) that does not answer is the error.
    controls.assign(found.size(), ControlInfo{});
    std::vector<char> answered(found.size(), 0);
    std::atomic<bool> failed{false};
    ClassNames names;
    helpers.ForEach(found.size(), [&](std::size_t i) {
        if (failed.load()) return;
        ControlInfo& info = controls[i];
        info.hwnd = found[i];
        info.parent = GetAncestor(info.hwnd, GA_PARENT);
        info.id = GetDlgCtrlID(info.hwnd);
        info.className = names.Of(info.hwnd);
        // The style holds the state too (GetWindowInfo, which would give both, costs four times
        // a rectangle).
        info.style = static_cast<DWORD>(GetWindowLongPtrW(info.hwnd, GWL_STYLE));
        info.password = IsPassword(info.className, info.style);
        if (!info.password) {
            std::optional<std::string> text = ListedText(info.hwnd, info.className);
            if (!text) {
                failed = true;
                return;
            }
            info.text = std::move(*text);
        }
        RECT r{};
        GetWindowRect(info.hwnd, &r);
        info.rect = Rect{r.left, r.top, r.right, r.bottom};
        info.enabled = (info.style & WS_DISABLED) == 0;
        answered[i] = 1;
    });
    if (failed) {
        const auto silent = std::find(answered.begin(), answered.end(), 0) - answered.begin();
        const HWND control = found[static_cast<std::size_t>(silent)];
        controls.clear();
        return NoAnswer(control);
    }
    // Numbers and visibility, in order: a control is shown when it and every window it lies in
    // are, and its parent came before it.
    ClassNumbers numbers;
    std::unordered_map<HWND, bool> shown{{window, IsWindowVisible(window) != 0}};
    for (ControlInfo& c : controls) {
        c.classNN = numbers.Next(c.className);
        const auto parent = shown.find(c.parent);
        const bool parentShown = parent != shown.end() ? parent->second : IsWindowVisible(c.parent) != 0;
        c.visible = (c.style & WS_VISIBLE) != 0 && parentShown;
        shown.emplace(c.hwnd, c.visible);
    }
    return {};
}

HWND ControlByClassNN(HWND window, std::string_view classNN) {
    // Each control's own ClassNN, compared whole: a class name may end in digits itself
    // (SysListView32), so the name cannot be split where its digits start.
    // The first few controls are asked their names straight: a name kept by atom costs more
    // than a name asked until classes come again, and a wanted control is most often early.
    constexpr int kAskedByName = 4;
    ClassNumbers numbers;
    ClassNames names;
    HWND found = nullptr;
    int seen = 0;
    ForEachDescendant(window, [&](HWND hwnd) {
        const std::string name = seen++ < kAskedByName ? ControlClass(hwnd) : names.Of(hwnd);
        if (numbers.Next(name) == classNN) found = hwnd;
        return found == nullptr;
    });
    return found;
}

HWND ControlById(HWND window, int id) {
    HWND found = nullptr;
    ForEachDescendant(window, [&](HWND hwnd) {
        if (GetDlgCtrlID(hwnd) == id) found = hwnd;
        return found == nullptr;
    });
    return found;
}

#include "controls/control_list.h"

#include "base/utf16.h"

#include <charconv>

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

std::optional<std::string> WindowText(HWND control) {
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

// A listed control's text. Buttons and statics keep their text in the window itself (their
// WM_GETTEXT is DefWindowProc's), so it is read from there without a message to their thread,
// which costs several times as much; a text that may not fit is read by message. Every other
// class answers its own WM_GETTEXT (an edit from its buffer) and is asked.
std::optional<std::string> ListedText(HWND control, const std::string& className) {
    if (ClassIs(className, "Button") || ClassIs(className, "Static")) {
        wchar_t text[kShortText];
        const int length = InternalGetWindowText(control, text, static_cast<int>(kShortText));
        if (length >= 0 && static_cast<std::size_t>(length) + 1 < kShortText) {
            return Utf16ToUtf8(text, static_cast<std::size_t>(length));
        }
    }
    return WindowText(control);
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

}  // namespace

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
    return ClassIs(ControlClass(control), "Edit") && (GetWindowLongPtrW(control, GWL_STYLE) & ES_PASSWORD) != 0;
}

std::string ListControls(HWND window, std::vector<ControlInfo>& controls) {
    controls.clear();
    ClassNumbers numbers;
    std::string failed;
    const bool windowShown = IsWindowVisible(window) != 0;
    ForEachDescendant(window, [&](HWND hwnd) {
        ControlInfo info{};
        info.hwnd = hwnd;
        info.parent = GetAncestor(hwnd, GA_PARENT);
        info.id = GetDlgCtrlID(hwnd);
        info.className = ControlClass(hwnd);
        info.classNN = numbers.Next(info.className);
        // The style holds the state too: each call about another program's window is a round trip
        // to the system (GetWindowInfo, which would give both, costs four times a rectangle).
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
        info.password = ClassIs(info.className, "Edit") && (style & ES_PASSWORD) != 0;
        if (!info.password) {
            const std::optional<std::string> text = ListedText(hwnd, info.className);
            if (!text) {
                failed = NoAnswer(hwnd);
                return false;
            }
            info.text = *text;
        }
        RECT r{};
        GetWindowRect(hwnd, &r);
        info.rect = Rect{r.left, r.top, r.right, r.bottom};
        // Shown when it and every window it lies in are: its parent came before it.
        const auto parentShown = [&] {
            if (info.parent == window) return windowShown;
            for (const ControlInfo& c : controls) {
                if (c.hwnd == info.parent) return c.visible;
            }
            return IsWindowVisible(info.parent) != 0;
        };
        info.visible = (style & WS_VISIBLE) != 0 && parentShown();
        info.enabled = (style & WS_DISABLED) == 0;
        controls.push_back(std::move(info));
        return true;
    });
    if (!failed.empty()) controls.clear();
    return failed;
}

HWND ControlByClassNN(HWND window, std::string_view classNN) {
    // Each control's own ClassNN, compared whole: a class name may end in digits itself
    // (SysListView32), so the name cannot be split where its digits start.
    ClassNumbers numbers;
    HWND found = nullptr;
    ForEachDescendant(window, [&](HWND hwnd) {
        if (numbers.Next(ControlClass(hwnd)) == classNN) found = hwnd;
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

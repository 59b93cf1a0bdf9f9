#include "controls/control_list.h"

#include "base/utf16.h"

#include <charconv>

namespace {

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> handles;
    EnumChildWindows(
        window,
        [](HWND hwnd, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&handles));
    return handles;
}

// The text of a control as WM_GETTEXT gives it, whole: its length first, then that many units.
std::optional<std::string> WindowText(HWND control) {
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
    std::vector<std::pair<std::string, int>> counts;  // class, controls of it so far
    for (const HWND hwnd : Descendants(window)) {
        ControlInfo info{};
        info.hwnd = hwnd;
        info.parent = GetAncestor(hwnd, GA_PARENT);
        info.id = GetDlgCtrlID(hwnd);
        info.className = ControlClass(hwnd);
        int number = 1;
        bool counted = false;
        for (auto& [name, count] : counts) {
            if (name == info.className) {
                number = ++count;
                counted = true;
            }
        }
        if (!counted) counts.emplace_back(info.className, 1);
        info.classNN = info.className + std::to_string(number);
        info.password = ClassIs(info.className, "Edit") && (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_PASSWORD) != 0;
        if (!info.password) {
            const std::optional<std::string> text = WindowText(hwnd);
            if (!text) return NoAnswer(hwnd);
            info.text = *text;
        }
        RECT r{};
        GetWindowRect(hwnd, &r);
        info.rect = Rect{r.left, r.top, r.right, r.bottom};
        info.visible = IsWindowVisible(hwnd) != 0;
        info.enabled = IsWindowEnabled(hwnd) != 0;
        controls.push_back(std::move(info));
    }
    return {};
}

HWND ControlByClassNN(HWND window, std::string_view classNN) {
    std::size_t digits = classNN.size();
    while (digits > 0 && classNN[digits - 1] >= '0' && classNN[digits - 1] <= '9') --digits;
    const std::string_view className = classNN.substr(0, digits);
    const std::string_view numberText = classNN.substr(digits);
    int number = 0;
    if (className.empty() || numberText.empty() || numberText.size() > 6 || numberText[0] == '0') return nullptr;
    std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
    int seen = 0;
    for (const HWND hwnd : Descendants(window)) {
        if (ControlClass(hwnd) == className && ++seen == number) return hwnd;
    }
    return nullptr;
}

HWND ControlById(HWND window, int id) {
    for (const HWND hwnd : Descendants(window)) {
        if (GetDlgCtrlID(hwnd) == id) return hwnd;
    }
    return nullptr;
}

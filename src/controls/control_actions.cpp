#include "controls/control_actions.h"

#include "base/utf16.h"
#include "controls/control_list.h"
#include "platform/poll.h"

#include <memory>

namespace {

std::string Disabled(HWND control) { return "Control " + HandleText(control) + " is disabled"; }

bool IsCheckable(HWND control) {
    if (!ClassIs(ControlClass(control), "Button")) return false;
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

enum class ListKind { None, Combo, List, ListView };

ListKind KindOf(HWND control) {
    const std::string name = ControlClass(control);
    if (ClassIs(name, "ComboBox")) return ListKind::Combo;
    if (ClassIs(name, "ListBox")) return ListKind::List;
    if (ClassIs(name, "SysListView32")) return ListKind::ListView;
    return ListKind::None;
}

// The messages of the two kinds of entry list.
struct EntryMessages {
    UINT count, text, textLength, current, select;
    WORD selectionChanged;
};
constexpr EntryMessages kComboMessages{CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETCURSEL, CB_SETCURSEL,
                                       CBN_SELCHANGE};
constexpr EntryMessages kListMessages{LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN, LB_GETCURSEL, LB_SETCURSEL,
                                      LBN_SELCHANGE};

std::string ReadEntries(HWND control, const EntryMessages& m, std::vector<std::string>& entries, int& selected) {
    entries.clear();
    const std::optional<LRESULT> count = SendToControl(control, m.count);
    if (!count) return NoAnswer(control);
    for (LRESULT i = 0; i < *count; ++i) {
        const std::optional<LRESULT> length = SendToControl(control, m.textLength, static_cast<WPARAM>(i));
        if (!length) return NoAnswer(control);
        // The text message has no size: the buffer is as long as the control said, and a spare.
        std::vector<wchar_t> units(static_cast<std::size_t>(std::max<LRESULT>(*length, 0)) + 2);
        const std::optional<LRESULT> copied =
            SendToControl(control, m.text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(units.data()));
        if (!copied) return NoAnswer(control);
        const auto n = std::min(static_cast<std::size_t>(std::max<LRESULT>(*copied, 0)), units.size() - 1);
        entries.push_back(Utf16ToUtf8(units.data(), n));
    }
    const std::optional<LRESULT> current = SendToControl(control, m.current);
    if (!current) return NoAnswer(control);
    selected = *current >= 0 && *current < *count ? static_cast<int>(*current) : -1;
    return {};
}

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool FoldedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// The process memory a list view's items are read through: the item record and its text
// buffer, reserved in the list view's process and always given back.
class RemoteBlock {
   public:
    RemoteBlock(HANDLE process, std::size_t size)
        : process_(process), size_(size), base_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (base_ != nullptr) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    void* Base() const { return base_; }
    std::size_t Size() const { return size_; }

   private:
    HANDLE process_;
    std::size_t size_;
    void* base_;
};

struct ProcessHandle {
    HANDLE handle;
    ~ProcessHandle() {
        if (handle != nullptr) CloseHandle(handle);
    }
};

// One cell's text: the buffer grows until the text fits.
std::string ReadCell(HWND view, HANDLE process, int row, int column, std::string& text) {
    for (std::size_t units = 1024; units <= (1u << 20); units *= 4) {
        RemoteBlock block(process, sizeof(LVITEMW) + units * sizeof(wchar_t));
        if (block.Base() == nullptr) return "Cannot reserve memory in the process of " + HandleText(view);
        auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(block.Base()) + sizeof(LVITEMW));
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = remoteText;
        item.cchTextMax = static_cast<int>(units);
        if (!WriteProcessMemory(process, block.Base(), &item, sizeof item, nullptr)) {
            return "Cannot write to the process of " + HandleText(view);
        }
        const std::optional<LRESULT> length =
            SendToControl(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Base()));
        if (!length) return NoAnswer(view);
        const auto n = static_cast<std::size_t>(std::clamp<LRESULT>(*length, 0, static_cast<LRESULT>(units - 1)));
        if (n + 1 >= units && units < (1u << 20)) continue;  // it may have been cut: again, larger
        std::vector<wchar_t> local(n + 1);
        if (!ReadProcessMemory(process, remoteText, local.data(), (n + 1) * sizeof(wchar_t), nullptr)) {
            return "Cannot read the process of " + HandleText(view);
        }
        text = Utf16ToUtf8(local.data(), n);
        return {};
    }
    return {};
}

std::string ReadListView(HWND view, ControlItems& items) {
    items.rows = true;
    items.entries.clear();
    DWORD pid = 0;
    GetWindowThreadProcessId(view, &pid);
    const ProcessHandle process{OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                                PROCESS_QUERY_LIMITED_INFORMATION,
                                            FALSE, pid)};
    if (process.handle == nullptr) return "Cannot open the process of " + HandleText(view) + ": " + std::to_string(GetLastError());
    // marlet is a 64-bit program: a 32-bit one lays the item record out otherwise.
    BOOL wow64 = FALSE;
    if (IsWow64Process(process.handle, &wow64) && wow64) return "Cannot read the list view of a 32-bit program";
    const bool report = (GetWindowLongPtrW(view, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
    int columns = 1;
    if (report) {
        const std::optional<LRESULT> header = SendToControl(view, LVM_GETHEADER);
        if (!header) return NoAnswer(view);
        if (*header != 0) {
            const std::optional<LRESULT> count = SendToControl(reinterpret_cast<HWND>(*header), HDM_GETITEMCOUNT);
            if (!count) return NoAnswer(view);
            columns = std::max<int>(1, static_cast<int>(*count));
        }
    }
    const std::optional<LRESULT> rows = SendToControl(view, LVM_GETITEMCOUNT);
    if (!rows) return NoAnswer(view);
    for (LRESULT row = 0; row < *rows; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column) {
            std::string text;
            std::string failed = ReadCell(view, process.handle, static_cast<int>(row), column, text);
            if (!failed.empty()) return failed;
            cells.push_back(std::move(text));
        }
        items.entries.push_back(std::move(cells));
    }
    const std::optional<LRESULT> selected = SendToControl(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (!selected) return NoAnswer(view);
    items.selected = *selected >= 0 && *selected < *rows ? static_cast<int>(*selected) : -1;
    // Only report view has columns; the others answer one text per item.
    items.rows = report;
    return {};
}

}  // namespace

std::string ReadControlText(HWND control, std::string& text) {
    if (IsPasswordField(control)) return "Cannot read a password field";
    std::optional<std::string> read = MessageText(control);
    if (!read) return NoAnswer(control);
    text = std::move(*read);
    return {};
}

std::string SetControlText(HWND control, std::string_view text) {
    if (!IsWindowEnabled(control)) return Disabled(control);
    const std::vector<wchar_t> units = Utf8ToUtf16<wchar_t>(text);  // ended by a zero unit
    const std::optional<LRESULT> set = SendToControl(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(units.data()));
    if (!set) return NoAnswer(control);
    bool taken = *set != 0;
    // A password field's text is not read back (Windows answers another program none of it).
    if (taken && !IsPasswordField(control)) {
        std::string now;
        std::string failed = ReadControlText(control, now);
        if (!failed.empty()) return failed;
        taken = now == Utf16ToUtf8(units.data(), units.size() - 1);
    }
    return taken ? std::string() : "Control " + HandleText(control) + " did not take the text";
}

std::string ClickControl(HWND control) {
    if (!IsWindowEnabled(control)) return Disabled(control);
    if (ClassIs(ControlClass(control), "Button")) {
        PostMessageW(control, BM_CLICK, 0, 0);
    } else {
        RECT client{};
        GetClientRect(control, &client);
        const LPARAM at = static_cast<LPARAM>(((client.bottom / 2) & 0xFFFF) << 16 | ((client.right / 2) & 0xFFFF));
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(control, WM_LBUTTONUP, 0, at);
    }
    return SendToControl(control, WM_NULL) ? std::string() : NoAnswer(control);
}

std::string SetChecked(HWND control, bool checked) {
    if (!IsCheckable(control)) return "Control " + HandleText(control) + " is not a check box or radio button";
    if (!IsWindowEnabled(control)) return Disabled(control);
    const auto isInState = [control, checked]() -> std::optional<bool> {
        const std::optional<LRESULT> state = SendToControl(control, BM_GETCHECK);
        if (!state) return std::nullopt;
        return (*state == BST_CHECKED) == checked;
    };
    const std::optional<bool> already = isInState();
    if (!already) return NoAnswer(control);
    if (*already) return {};
    PostMessageW(control, BM_CLICK, 0, 0);
    bool answered = true;
    const bool done = PollUntil(
        [&] {
            const std::optional<bool> now = isInState();
            answered = now.has_value();
            return !answered || *now;
        },
        kControlTimeoutMs);
    if (done && answered) return {};
    return "Timed out after " + std::to_string(kControlTimeoutMs) + " ms waiting for " + HandleText(control) +
           (checked ? " to be checked" : " to be unchecked");
}

std::string ChooseEntry(HWND control, const EntryChoice& choice, int& index) {
    const ListKind kind = KindOf(control);
    if (kind != ListKind::Combo && kind != ListKind::List) {
        return "Control " + HandleText(control) + " is not a combo box or list box";
    }
    if (!IsWindowEnabled(control)) return Disabled(control);
    const EntryMessages& m = kind == ListKind::Combo ? kComboMessages : kListMessages;
    std::vector<std::string> entries;
    int selected = -1;
    std::string failed = ReadEntries(control, m, entries, selected);
    if (!failed.empty()) return failed;
    index = -1;
    if (choice.text) {
        for (std::size_t i = 0; i < entries.size() && index < 0; ++i) {
            if (FoldedEqual(entries[i], *choice.text)) index = static_cast<int>(i);
        }
        for (std::size_t i = 0; i < entries.size() && index < 0; ++i) {
            if (entries[i].size() >= choice.text->size() && FoldedEqual(entries[i].substr(0, choice.text->size()), *choice.text))
                index = static_cast<int>(i);
        }
        if (index < 0) return "No entry: " + *choice.text;
    } else {
        if (choice.index < 0 || choice.index >= static_cast<std::int64_t>(entries.size())) {
            return "No entry #" + std::to_string(choice.index);
        }
        index = static_cast<int>(choice.index);
    }
    if (!SendToControl(control, m.select, static_cast<WPARAM>(index))) return NoAnswer(control);
    // Selecting tells nobody: the parent hears what a person's choice tells it.
    const HWND parent = GetAncestor(control, GA_PARENT);
    const auto id = static_cast<WPARAM>(GetDlgCtrlID(control) & 0xFFFF);
    const auto notify = [&](WORD code) {
        return SendToControl(parent, WM_COMMAND, id | (static_cast<WPARAM>(code) << 16), reinterpret_cast<LPARAM>(control))
            .has_value();
    };
    if (kind == ListKind::Combo && !notify(CBN_SELENDOK)) return NoAnswer(parent);
    if (!notify(m.selectionChanged)) return NoAnswer(parent);
    const std::optional<LRESULT> now = SendToControl(control, m.current);
    if (!now) return NoAnswer(control);
    if (*now != index) return "Control " + HandleText(control) + " did not select entry #" + std::to_string(index);
    return {};
}

std::string ReadItems(HWND control, ControlItems& items) {
    items = ControlItems{};
    switch (KindOf(control)) {
        case ListKind::Combo:
        case ListKind::List: {
            std::vector<std::string> entries;
            std::string failed = ReadEntries(control, KindOf(control) == ListKind::Combo ? kComboMessages : kListMessages,
                                                   entries, items.selected);
            for (std::string& e : entries) items.entries.push_back({std::move(e)});
            return failed;
        }
        case ListKind::ListView: return ReadListView(control, items);
        case ListKind::None: break;
    }
    return "Control " + HandleText(control) + " has no items";
}

// The control commands: list the controls inside a window, read and set their text, click them,
// check them, choose their entries and read their items, all by the controls' own messages.
#include "commands/families.h"
#include "controls/control_actions.h"
#include "controls/control_list.h"
#include "daemon/arguments.h"
#include "daemon/daemon_state.h"
#include "protocol/envelope.h"
#include "windows/window_info.h"

#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace {

// A control id after "#": digits, an optional minus sign; nothing when the text is not one.
std::optional<int> ControlId(std::string_view text) {
    int id = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, id);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return id;
}

// The control a client names: HWND, HWND/ClassNN or HWND/#ID; null, with the error answered
// ("Invalid HWND", "Control not found: NAME"), when it names none.
HWND ControlArgument(std::string_view name, Session& session) {
    const std::size_t slash = name.find('/');
    if (slash == std::string_view::npos) return WindowArgument(name, session);
    // The window is looked into first and asked whether it exists only when nothing was found
    // there (one call fewer on the way that counts).
    const HWND window = HandleArgument(name.substr(0, slash));
    HWND control = nullptr;
    const std::string_view rest = name.substr(slash + 1);
    if (window != nullptr && !rest.empty() && rest[0] == '#') {
        if (const std::optional<int> id = ControlId(rest.substr(1))) control = ControlById(window, *id);
    } else if (window != nullptr) {
        control = ControlByClassNN(window, rest);
    }
    if (control == nullptr) {
        if (!WindowExists(window)) {
            RespondError(session.out, "Invalid HWND");
        } else {
            RespondError(session.out, {"Control not found: ", name});
        }
    }
    return control;
}

// The control of a command's one argument; null with the error (or the usage) answered.
HWND OnlyControl(const Args& args, Session& session, std::string_view usage) {
    if (args.size() != 2) {
        RespondError(session.out, usage);
        return nullptr;
    }
    return ControlArgument(args[1], session);
}

// Answers ok for an empty message, else the message as the error.
void RespondDone(Session& session, const std::string& failed) {
    if (failed.empty()) {
        RespondOk(session.out);
    } else {
        RespondError(session.out, failed);
    }
}

void WriteRect(JsonLine& line, const Rect& r) {
    line.Raw(",\"left\":").Number(r.left).Raw(",\"top\":").Number(r.top);
    line.Raw(",\"right\":").Number(r.right).Raw(",\"bottom\":").Number(r.bottom);
}

Flow ControlsCommand(const Args& args, Session& session) {
    if (args.size() != 2) {
        RespondError(session.out, "Usage: controls HWND");
        return Flow::Continue;
    }
    const HWND window = WindowArgument(args[1], session);
    if (window == nullptr) return Flow::Continue;
    std::vector<ControlInfo> controls;
    const std::string failed = ListControls(window, session.state.controlReaders, controls);
    if (!failed.empty()) {
        RespondError(session.out, failed);
        return Flow::Continue;
    }
    JsonLine line(session.out);
    line.Raw("{\"status\":\"ok\",\"controls\":[");
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlInfo& c = controls[i];
        if (i > 0) line.Raw(",");
        line.Raw("{\"hwnd\":\"").Handle(HandleValue(c.hwnd)).Raw("\",\"parent\":\"").Handle(HandleValue(c.parent));
        line.Raw("\",\"id\":").Number(c.id).Raw(",\"class\":").String(c.className);
        line.Raw(",\"classnn\":").String(c.classNN);
        if (c.password) {
            line.Raw(",\"password\":true");
        } else {
            line.Raw(",\"text\":").String(c.text);
        }
        WriteRect(line, c.rect);
        line.Raw(",\"visible\":").Bool(c.visible).Raw(",\"enabled\":").Bool(c.enabled).Raw("}");
    }
    line.Raw("]}\n");
    return Flow::Continue;
}

Flow ControlTextCommand(const Args& args, Session& session) {
    const HWND control = OnlyControl(args, session, "Usage: controltext CTRL");
    if (control == nullptr) return Flow::Continue;
    std::string text;
    const std::string failed = ReadControlText(control, text);
    if (!failed.empty()) {
        RespondError(session.out, failed);
        return Flow::Continue;
    }
    JsonLine(session.out).Raw("{\"status\":\"ok\",\"text\":").String(text).Raw("}\n");
    return Flow::Continue;
}

Flow SetControlTextCommand(const Args& args, Session& session) {
    constexpr std::string_view kUsage = "Usage: setcontroltext CTRL \"text\"";
    if (args.size() < 3) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    const std::optional<JsonString> text = LastJsonArgument(session, kUsage, 1);
    if (!text) return Flow::Continue;
    const HWND control = ControlArgument(args[1], session);
    if (control == nullptr) return Flow::Continue;
    RespondDone(session, SetControlText(control, text->value));
    return Flow::Continue;
}

Flow ControlClickCommand(const Args& args, Session& session) {
    const HWND control = OnlyControl(args, session, "Usage: controlclick CTRL");
    if (control != nullptr) RespondDone(session, ClickControl(control));
    return Flow::Continue;
}

Flow CheckCommand(const Args& args, Session& session) {
    const HWND control = OnlyControl(args, session, "Usage: check CTRL");
    if (control != nullptr) RespondDone(session, SetChecked(control, true));
    return Flow::Continue;
}

Flow UncheckCommand(const Args& args, Session& session) {
    const HWND control = OnlyControl(args, session, "Usage: uncheck CTRL");
    if (control != nullptr) RespondDone(session, SetChecked(control, false));
    return Flow::Continue;
}

Flow ChooseCommand(const Args& args, Session& session) {
    constexpr std::string_view kUsage = "Usage: choose CTRL \"text\" or choose CTRL #N";
    if (args.size() < 3) {
        RespondError(session.out, kUsage);
        return Flow::Continue;
    }
    EntryChoice choice;
    if (args.size() == 3 && args[2].size() > 1 && args[2][0] == '#') {
        const std::optional<int> index = ControlId(args[2].substr(1));
        if (!index) {
            RespondError(session.out, kUsage);
            return Flow::Continue;
        }
        choice.index = *index;
    } else {
        const std::optional<JsonString> text = LastJsonArgument(session, kUsage, 1);
        if (!text) return Flow::Continue;
        choice.text = text->value;
    }
    const HWND control = ControlArgument(args[1], session);
    if (control == nullptr) return Flow::Continue;
    int index = -1;
    const std::string failed = ChooseEntry(control, choice, index);
    if (!failed.empty()) {
        RespondError(session.out, failed);
        return Flow::Continue;
    }
    JsonLine(session.out).Raw("{\"status\":\"ok\",\"index\":").Number(index).Raw("}\n");
    return Flow::Continue;
}

Flow ItemsCommand(const Args& args, Session& session) {
    const HWND control = OnlyControl(args, session, "Usage: items CTRL");
    if (control == nullptr) return Flow::Continue;
    ControlItems items;
    const std::string failed = ReadItems(control, items);
    if (!failed.empty()) {
        RespondError(session.out, failed);
        return Flow::Continue;
    }
    JsonLine line(session.out);
    line.Raw("{\"status\":\"ok\",\"items\":[");
    for (std::size_t i = 0; i < items.entries.size(); ++i) {
        if (i > 0) line.Raw(",");
        const std::vector<std::string>& entry = items.entries[i];
        if (!items.rows) {
            line.String(entry.empty() ? std::string() : entry[0]);
            continue;
        }
        line.Raw("[");
        for (std::size_t c = 0; c < entry.size(); ++c) line.Raw(c > 0 ? "," : "").String(entry[c]);
        line.Raw("]");
    }
    line.Raw("],\"selected\":").Number(items.selected).Raw("}\n");
    return Flow::Continue;
}

constexpr CommandRow kRows[] = {
    {"controls", ControlsCommand},
    {"controltext", ControlTextCommand},
    {"setcontroltext", SetControlTextCommand},
    {"controlclick", ControlClickCommand},
    {"check", CheckCommand},
    {"uncheck", UncheckCommand},
    {"choose", ChooseCommand},
    {"items", ItemsCommand},
};

}  // namespace

std::span<const CommandRow> ControlCommands() { return kRows; }

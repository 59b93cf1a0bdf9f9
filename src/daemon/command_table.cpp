#include "daemon/command_table.h"

#include "commands/families.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// The words clients send over and over, looked up first, in this order; every other row follows
// in its family's order.
constexpr std::string_view kFrequent[] = {"move", "click", "type",  "press", "pos",        "key",   "rclick",
                                          "scroll", "wait", "find", "focus", "foreground", "screen"};

std::vector<CommandRow> JoinFamilies() {
    std::vector<CommandRow> rows;
    for (const auto family : {BuiltinCommands, PointerCommands, KeyboardCommands, WindowCommands, ScreenCommands,
                              ClipboardCommands, ControlCommands, ImageCommands}) {
        const std::span<const CommandRow> own = family();
        rows.insert(rows.end(), own.begin(), own.end());
    }
    const auto rank = [](const CommandRow& row) {
        return static_cast<std::size_t>(std::find(std::begin(kFrequent), std::end(kFrequent), row.word) -
                                        std::begin(kFrequent));
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&rank](const CommandRow& a, const CommandRow& b) { return rank(a) < rank(b); });
    return rows;
}

// Joined before main, so a lookup needs no guard.
const std::vector<CommandRow> kCommands = JoinFamilies();

}  // namespace

Handler LookupCommand(std::string_view cmd) {
    if (cmd.empty()) return nullptr;
    for (const CommandRow& row : kCommands) {
        // Length and first letter rule out nearly every row before the bytes are compared.
        if (row.word.size() == cmd.size() && row.word[0] == cmd[0] && row.word == cmd) return row.handler;
    }
    return nullptr;
}

#include "support/answers.h"
#include "support/session.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using ControlCommands = DesktopTest;

std::string Hex(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return text;
}

// A dialog as the tests use it: OK and Cancel buttons, a name field, a password field, a check
// box, two radio buttons, a combo box, a list box, a label and a report-view list view.
struct Dialog {
    HWND window, ok, cancel, name, password, check, radioA, radioB, combo, list, label, view, header;
};

Dialog MakeDialog() {
    Dialog d{};
    d.window = sim::AddWindow("Settings");
    d.ok = sim::AddControl(d.window, "Button", 1, "&OK", 1 /* BS_DEFPUSHBUTTON */);
    d.cancel = sim::AddControl(d.window, "Button", 2, "Cancel");
    d.name = sim::AddControl(d.window, "Edit", 1001, "old name");
    d.password = sim::AddControl(d.window, "Edit", 1002, "s3cret", ES_PASSWORD);
    d.check = sim::AddControl(d.window, "Button", 1003, "Remember", BS_AUTOCHECKBOX);
    d.radioA = sim::AddControl(d.window, "Button", 1004, "Red", BS_AUTORADIOBUTTON);
    d.radioB = sim::AddControl(d.window, "Button", 1005, "Blue", BS_AUTORADIOBUTTON);
    d.combo = sim::AddControl(d.window, "ComboBox", 1006);
    d.list = sim::AddControl(d.window, "ListBox", 1007);
    d.label = sim::AddControl(d.window, "Static", 1008, "Name:");
    d.view = sim::AddControl(d.window, "SysListView32", 1009, "", LVS_REPORT);
    d.header = sim::AddControl(d.view, "SysHeader32", 0);
    sim::FindControl(d.combo)->items = {"Apple", "apricot", "Banana", "banana split"};
    sim::FindControl(d.list)->items = {"one", "two", "three"};
    sim::FindControl(d.list)->selected = 1;
    auto* view = sim::FindControl(d.view);
    view->rows = {{"a.txt", "12 KB"}, {"b \"q\".txt", "3 KB"}};
    view->columns = 2;
    view->selected = 1;
    sim::FindControl(d.ok)->rect = RECT{200, 300, 275, 323};
    return d;
}

TEST_F(ControlCommands, ListsEveryDescendantWithItsFactsAndNumbersClassesInOrder) {
    const Dialog d = MakeDialog();
    sim::FindControl(d.cancel)->enabled = false;
    const std::string out = Answer("controls " + Hex(d.window));
    const std::string ok = "{\"hwnd\":\"" + Hex(d.ok) + "\",\"parent\":\"" + Hex(d.window) +
                           "\",\"id\":1,\"class\":\"Button\",\"classnn\":\"Button1\",\"text\":\"&OK\","
                           "\"left\":200,\"top\":300,\"right\":275,\"bottom\":323,\"visible\":true,\"enabled\":true}";
    EXPECT_EQ(out.rfind("{\"status\":\"ok\",\"controls\":[" + ok + ",", 0), 0u) << out;
    EXPECT_NE(out.find("\"classnn\":\"Button2\",\"text\":\"Cancel\""), std::string::npos);
    EXPECT_NE(out.find("\"enabled\":false"), std::string::npos);
    // The password field is listed without its text.
    EXPECT_NE(out.find("\"classnn\":\"Edit2\",\"password\":true,\"left\""), std::string::npos) << out;
    EXPECT_EQ(out.find("s3cret"), std::string::npos);
    // A control's own child comes after it, with its parent named.
    EXPECT_NE(out.find("\"parent\":\"" + Hex(d.view) + "\",\"id\":0,\"class\":\"SysHeader32\""), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 3), "]}\n");
    EXPECT_NE(out.find("\"classnn\":\"Edit1\",\"text\":\"old name\""), std::string::npos);
    // Buttons, the label, the list box, the list view and its header are read from the window
    // itself; the edit and the combo box answer their own text, by message.
    const auto& sent = sim::State().sentMessages;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), static_cast<UINT>(WM_GETTEXT)), 2);
    EXPECT_EQ(Answer("controls " + Hex(sim::AddWindow("empty"))), "{\"status\":\"ok\",\"controls\":[]}\n");
    // A button text too long for the first read is read whole by message.
    const std::string longText(700, 'w');
    const HWND other = sim::AddWindow("long");
    sim::AddControl(other, "Button", 5, longText);
    EXPECT_NE(Answer("controls " + Hex(other)).find("\"text\":\"" + longText + "\""), std::string::npos);
}

TEST_F(ControlCommands, NamesAreAHandleAClassNNOrAnId) {
    const Dialog d = MakeDialog();
    const std::string w = Hex(d.window);
    const std::pair<std::string, std::string> cases[] = {
        {Hex(d.name), "{\"status\":\"ok\",\"text\":\"old name\"}\n"},
        {w + "/Button2", "{\"status\":\"ok\",\"text\":\"Cancel\"}\n"},
        {w + "/#1008", "{\"status\":\"ok\",\"text\":\"Name:\"}\n"},
        {w + "/SysListView321", "{\"status\":\"ok\",\"text\":\"\"}\n"},  // a class that ends in digits
        {w + "/SysListView32", Error("Control not found: " + w + "/SysListView32")},
        {w + "/Button9", Error("Control not found: " + w + "/Button9")},
        {w + "/Button0", Error("Control not found: " + w + "/Button0")},
        {w + "/button1", Error("Control not found: " + w + "/button1")},
        {w + "/#99", Error("Control not found: " + w + "/#99")},
        {w + "/#x", Error("Control not found: " + w + "/#x")},
        {w + "/", Error("Control not found: " + w + "/")},
        {"0x99999/Button1", Error("Invalid HWND")},
        {"0x99999/#1001", Error("Invalid HWND")},
        {"window/Button1", Error("Exception: invalid stoull argument")},  // as focus reads a handle
        {"0x99999", Error("Invalid HWND")},
        {Hex(d.password), Error("Cannot read a password field")},
    };
    for (const auto& [name, answer] : cases) EXPECT_EQ(Answer("controltext " + name), answer) << name;
    EXPECT_EQ(Answer("controltext"), Error("Usage: controltext CTRL"));
    EXPECT_EQ(Answer("controltext a b"), Error("Usage: controltext CTRL"));
}

TEST_F(ControlCommands, TextIsReadWholeAndSetAndReadBack) {
    const Dialog d = MakeDialog();
    const std::string longText(100000, 'x');
    sim::FindControl(d.name)->text = longText + "\xC3\xA9";
    EXPECT_EQ(Answer("controltext " + Hex(d.name)), "{\"status\":\"ok\",\"text\":\"" + longText + "\xC3\xA9\"}\n");
    EXPECT_EQ(Answer("setcontroltext " + Hex(d.name) + " \"Ann \\\"A\\\" \\u00e9\""), kOk);
    EXPECT_EQ(sim::FindControl(d.name)->text, "Ann \"A\" \xC3\xA9");
    EXPECT_EQ(Answer("setcontroltext " + Hex(d.password) + " \"hunter2\""), kOk);
    EXPECT_EQ(sim::FindControl(d.password)->text, "hunter2");
    sim::FindControl(d.label)->ignoresText = true;
    EXPECT_EQ(Answer("setcontroltext " + Hex(d.label) + " \"x\""), Error("Control " + Hex(d.label) + " did not take the text"));
    sim::FindControl(d.name)->enabled = false;
    EXPECT_EQ(Answer("setcontroltext " + Hex(d.name) + " \"y\""), Error("Control " + Hex(d.name) + " is disabled"));
    EXPECT_EQ(sim::FindControl(d.name)->text, "Ann \"A\" \xC3\xA9");
    for (const std::string& bad : std::vector<std::string>{"setcontroltext", "setcontroltext " + Hex(d.name), "setcontroltext " + Hex(d.name) + " \"a\" b"})
        EXPECT_EQ(Answer(bad), Error("Usage: setcontroltext CTRL \\\"text\\\"")) << bad;
    EXPECT_EQ(Answer("setcontroltext " + Hex(d.name) + " \"a"), Error("Invalid JSON string: missing closing quote at byte 2"));
}

TEST_F(ControlCommands, ClicksPressButtonsByTheirMessageAndOtherControlsAtTheirCentre) {
    const Dialog d = MakeDialog();
    const POINT before = sim::State().cursor;
    EXPECT_EQ(Answer("controlclick " + Hex(d.window) + "/Button1"), kOk);
    EXPECT_EQ(sim::FindControl(d.ok)->clicks, std::vector<std::string>{"BM_CLICK"});
    EXPECT_EQ(sim::State().notifications, (std::vector<sim::ControlArea::Notification>{{d.window, 1, 0}}));
    EXPECT_EQ(Answer("controlclick " + Hex(d.label)), kOk);  // 80 x 24 pixels
    EXPECT_EQ(sim::FindControl(d.label)->clicks, (std::vector<std::string>{"down 40 12", "up 40 12"}));
    sim::FindControl(d.cancel)->enabled = false;
    EXPECT_EQ(Answer("controlclick " + Hex(d.cancel)), Error("Control " + Hex(d.cancel) + " is disabled"));
    EXPECT_TRUE(sim::FindControl(d.cancel)->clicks.empty());
    EXPECT_EQ(sim::State().cursor.x, before.x);  // the pointer never moved
    EXPECT_TRUE(sim::State().batches.empty());
}

TEST_F(ControlCommands, CheckClicksOnlyWhenTheStateDiffersAndConfirmsIt) {
    const Dialog d = MakeDialog();
    EXPECT_EQ(Answer("check " + Hex(d.check)), kOk);
    EXPECT_EQ(sim::FindControl(d.check)->checked, BST_CHECKED);
    EXPECT_EQ(Answer("check " + Hex(d.check)), kOk);  // already: nothing sent
    EXPECT_EQ(sim::FindControl(d.check)->clicks.size(), 1u);
    EXPECT_EQ(sim::State().notifications.size(), 1u);  // its program heard of the one change
    EXPECT_EQ(Answer("uncheck " + Hex(d.check)), kOk);
    EXPECT_EQ(sim::FindControl(d.check)->checked, 0);
    EXPECT_EQ(Answer("check " + Hex(d.radioB)), kOk);
    EXPECT_EQ(sim::FindControl(d.radioB)->checked, BST_CHECKED);
    // A radio button cannot be unchecked by a click: the wait ends at its deadline.
    const ULONGLONG started = sim::State().tickCount;
    EXPECT_EQ(Answer("uncheck " + Hex(d.radioB)),
              Error("Timed out after 2000 ms waiting for " + Hex(d.radioB) + " to be unchecked"));
    EXPECT_EQ(sim::State().tickCount - started, 2001u);
    EXPECT_EQ(Answer("check " + Hex(d.ok)), Error("Control " + Hex(d.ok) + " is not a check box or radio button"));
    sim::FindControl(d.radioA)->enabled = false;
    EXPECT_EQ(Answer("check " + Hex(d.radioA)), Error("Control " + Hex(d.radioA) + " is disabled"));
    EXPECT_EQ(Answer("uncheck"), Error("Usage: uncheck CTRL"));
}

TEST_F(ControlCommands, ChooseSelectsByTextOrIndexAndNotifiesAsAPersonsChoiceDoes) {
    const Dialog d = MakeDialog();
    const std::string combo = Hex(d.combo);
    const std::pair<std::string, int> cases[] = {
        {"\"banana\"", 2},        // exact, letters folded, before a longer entry
        {"\"APR\"", 1},           // the first that starts with it
        {"\"banana s\"", 3},
        {"#0", 0},
        {"#3", 3},
    };
    for (const auto& [choice, index] : cases) {
        sim::State().notifications.clear();
        EXPECT_EQ(Answer("choose " + combo + " " + choice), "{\"status\":\"ok\",\"index\":" + std::to_string(index) + "}\n")
            << choice;
        EXPECT_EQ(sim::FindControl(d.combo)->selected, index) << choice;
        EXPECT_EQ(sim::State().notifications, (std::vector<sim::ControlArea::Notification>{
                                                  {d.window, 1006, CBN_SELENDOK}, {d.window, 1006, CBN_SELCHANGE}}))
            << choice;
    }
    sim::State().notifications.clear();
    EXPECT_EQ(Answer("choose " + Hex(d.list) + " \"Three\""), "{\"status\":\"ok\",\"index\":2}\n");
    EXPECT_EQ(sim::State().notifications, (std::vector<sim::ControlArea::Notification>{{d.window, 1007, LBN_SELCHANGE}}));
    EXPECT_EQ(Answer("choose " + combo + " \"cherry\""), Error("No entry: cherry"));
    EXPECT_EQ(Answer("choose " + combo + " #4"), Error("No entry #4"));
    EXPECT_EQ(Answer("choose " + combo + " #-1"), Error("No entry #-1"));
    EXPECT_EQ(Answer("choose " + Hex(d.name) + " #0"), Error("Control " + Hex(d.name) + " is not a combo box or list box"));
    EXPECT_EQ(Answer("choose " + combo), Error("Usage: choose CTRL \\\"text\\\" or choose CTRL #N"));
    EXPECT_EQ(Answer("choose " + combo + " #x"), Error("Usage: choose CTRL \\\"text\\\" or choose CTRL #N"));
}

TEST_F(ControlCommands, ItemsAreEntriesOrListViewRowsWithTheSelection) {
    const Dialog d = MakeDialog();
    EXPECT_EQ(Answer("items " + Hex(d.combo)),
              "{\"status\":\"ok\",\"items\":[\"Apple\",\"apricot\",\"Banana\",\"banana split\"],\"selected\":-1}\n");
    EXPECT_EQ(Answer("items " + Hex(d.list)), "{\"status\":\"ok\",\"items\":[\"one\",\"two\",\"three\"],\"selected\":1}\n");
    EXPECT_EQ(Answer("items " + Hex(d.view)),
              "{\"status\":\"ok\",\"items\":[[\"a.txt\",\"12 KB\"],[\"b \\\"q\\\".txt\",\"3 KB\"]],\"selected\":1}\n");
    EXPECT_EQ(sim::State().remoteBlocks, 0);  // every block reserved in its process was freed
    EXPECT_EQ(sim::State().openProcesses, 0);
    // A cell longer than the first buffer is read whole.
    sim::FindControl(d.view)->rows[0][1] = std::string(5000, 'k');
    EXPECT_NE(Answer("items " + Hex(d.view)).find("\"" + std::string(5000, 'k') + "\""), std::string::npos);
    sim::State().remoteIs32Bit = true;
    EXPECT_EQ(Answer("items " + Hex(d.view)), Error("Cannot read the list view of a 32-bit program"));
    EXPECT_EQ(sim::State().openProcesses, 0);
    EXPECT_EQ(Answer("items " + Hex(d.ok)), Error("Control " + Hex(d.ok) + " has no items"));
}

// Nothing waits on a control's thread for longer than its limit: one that is flagged hung fails
// at once, one that is only busy after the limit, and every command says which control.
TEST_F(ControlCommands, AThreadThatDoesNotAnswerFailsEveryCommandWithinItsLimit) {
    const Dialog d = MakeDialog();
    const std::string commands[] = {"controls " + Hex(d.window), "controltext " + Hex(d.name),
                                    "setcontroltext " + Hex(d.name) + " \"x\"", "controlclick " + Hex(d.ok),
                                    "check " + Hex(d.check), "choose " + Hex(d.combo) + " #1",
                                    "items " + Hex(d.view)};
    for (const bool busy : {false, true}) {
        sim::State().controlsHung = !busy;
        sim::State().controlsBusy = busy;
        for (const std::string& command : commands) {
            const ULONGLONG started = sim::State().tickCount;
            const std::string out = Answer(command);
            EXPECT_EQ(out.rfind("{\"status\":\"error\",\"message\":\"Timed out after 2000 ms waiting for 0x", 0), 0u)
                << command << " " << out;
            EXPECT_NE(out.find(" to answer\"}"), std::string::npos) << command << " " << out;
            // A listing's three threads each wait out one limit at the most, at once on Windows;
            // the simulated clock takes their waits one after another.
            const ULONGLONG most = busy ? (command.rfind("controls ", 0) == 0 ? 3 * 2000u : 2000u) : 0u;
            EXPECT_LE(sim::State().tickCount - started, most) << command;
        }
    }
    EXPECT_EQ(sim::State().remoteBlocks, 0);
}

}  // namespace

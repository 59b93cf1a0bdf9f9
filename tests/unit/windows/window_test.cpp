#include "support/session.h"
#include "windows/window_focus.h"
#include "windows/window_search.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using WindowSearch = DesktopTest;
using WindowFocus = DesktopTest;

TEST_F(WindowSearch, FindsASubstringInAnyCaseOfTheLettersAToZ) {
    sim::AddWindow("Program Manager");
    const HWND report = sim::AddWindow("Quarterly Report - Editor");
    EXPECT_EQ(FindWindowByTitle("QUARTERLY report"), report);
    EXPECT_EQ(FindWindowByTitle("rterly Rep"), report);
    EXPECT_EQ(FindWindowByTitle("Quarterly Report - Editor"), report);
    EXPECT_EQ(FindWindowByTitle("Quarterly Report - Editor!"), nullptr);
}

TEST_F(WindowSearch, FoldsOnlyAsciiLetters) {
    const HWND cafe = sim::AddWindow("Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(FindWindowByTitle("CAF\xC3\xA9"), cafe);
    EXPECT_EQ(FindWindowByTitle("\xE6\x97\xA5\xE6\x9C\xAC"), cafe);
    EXPECT_EQ(FindWindowByTitle("caf\xC3\x89"), nullptr);  // É is not folded to é
    sim::AddWindow("[x]");
    EXPECT_EQ(FindWindowByTitle("{X}"), nullptr);  // [ and { differ by the same bit as A and a
}

TEST_F(WindowSearch, FirstMatchWinsAndTheWalkStops) {
    sim::AddWindow("alpha");
    const HWND first = sim::AddWindow("Notes 1");
    sim::AddWindow("Notes 2");
    sim::AddWindow("zeta");
    EXPECT_EQ(FindWindowByTitle("notes"), first);
    EXPECT_EQ(sim::State().enumVisits, 2);
}

TEST_F(WindowSearch, EmptyTitlesNeverMatchAndHiddenOrMinimisedWindowsDo) {
    sim::AddWindow("");
    const HWND hidden = sim::AddWindow("Hidden tool", false);
    sim::AddWindow("Minimised tool", true, true);
    EXPECT_EQ(FindWindowByTitle(""), hidden);  // the first window with a title
    EXPECT_EQ(FindWindowByTitle("tool"), hidden);
    EXPECT_NE(FindWindowByTitle("minimised"), nullptr);
    sim::Reset();
    sim::AddWindow("");
    EXPECT_EQ(FindWindowByTitle(""), nullptr);
}

TEST_F(WindowSearch, ClosedWindowsAreNotSearched) {
    const HWND gone = sim::AddWindow("Closed one");
    sim::FindWindow(gone)->alive = false;
    EXPECT_EQ(FindWindowByTitle("closed"), nullptr);
}

TEST_F(WindowSearch, TitlesAreSeenAsTheirFirst511Bytes) {
    const HWND longTitle = sim::AddWindow(std::string(511, 'a') + "TAIL");
    EXPECT_EQ(FindWindowByTitle(std::string(511, 'A')), longTitle);
    EXPECT_EQ(FindWindowByTitle("tail"), nullptr);
    EXPECT_EQ(FindWindowByTitle(std::string(512, 'a')), nullptr);
}

TEST_F(WindowSearch, ASearchNeverReturnsAnEarlierMatch) {
    const HWND one = sim::AddWindow("one");
    EXPECT_EQ(FindWindowByTitle("one"), one);
    EXPECT_EQ(FindWindowByTitle("two"), nullptr);
}

TEST_F(WindowFocus, BringsANormalWindowForwardWithoutTouchingItsPlacement) {
    sim::AddWindow("other");
    const HWND w = sim::AddWindow("target");
    EXPECT_TRUE(FocusWindow(w));
    EXPECT_EQ(sim::State().foreground, w);
    ASSERT_EQ(sim::State().windowCalls.size(), 1u);
    EXPECT_EQ(sim::State().windowCalls[0].op, "SetForegroundWindow");
}

TEST_F(WindowFocus, RestoresAMinimisedWindowFirst) {
    const HWND w = sim::AddWindow("target", true, true);
    EXPECT_TRUE(FocusWindow(w));
    ASSERT_EQ(sim::State().windowCalls.size(), 2u);
    EXPECT_EQ(sim::State().windowCalls[0].op, "ShowWindowAsync");
    EXPECT_EQ(sim::State().windowCalls[0].arg, SW_RESTORE);
    EXPECT_EQ(sim::State().windowCalls[1].op, "SetForegroundWindow");
    EXPECT_FALSE(sim::FindWindow(w)->minimized);
}

TEST_F(WindowFocus, HiddenWindowIsNotShown) {
    const HWND w = sim::AddWindow("hidden", false);
    EXPECT_TRUE(FocusWindow(w));
    EXPECT_FALSE(sim::FindWindow(w)->visible);
    EXPECT_EQ(sim::State().windowCalls.size(), 1u);
}

TEST_F(WindowFocus, RefusedForegroundIsFalseAndTheRestoreStays) {
    const HWND w = sim::AddWindow("target", true, true);
    sim::State().refuseForeground = true;
    EXPECT_FALSE(FocusWindow(w));
    EXPECT_FALSE(sim::FindWindow(w)->minimized);
    EXPECT_EQ(sim::State().foreground, nullptr);
}

TEST_F(WindowFocus, NullOrClosedWindowIsFalseAndUntouched) {
    const HWND w = sim::AddWindow("gone", true, true);
    sim::FindWindow(w)->alive = false;
    EXPECT_FALSE(FocusWindow(nullptr));
    EXPECT_FALSE(FocusWindow(w));
    EXPECT_FALSE(FocusWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x99999))));
    EXPECT_TRUE(sim::State().windowCalls.empty());
}

TEST_F(WindowFocus, WaitsUntilTheWindowIsReallyInFront) {
    const HWND w = sim::AddWindow("late");
    sim::State().foregroundLag = 3;  // the system shows the change on the fourth look
    EXPECT_TRUE(FocusWindow(w));
    EXPECT_EQ(sim::State().foregroundReads, 1 + 4);  // the window in front before the request, then 4
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{10, 10, 10}));
}

TEST_F(WindowFocus, AWindowThatNeverComesForwardFailsAtTheDeadlineAndNotLater) {
    const HWND w = sim::AddWindow("never");
    sim::State().foregroundLag = -1;
    const ULONGLONG started = sim::State().tickCount;
    EXPECT_FALSE(FocusWindow(w));
    EXPECT_EQ(sim::State().tickCount - started, kForegroundTimeoutMs + 1);  // slept to the deadline, a tick past
    EXPECT_EQ(Answer("focus 0x10010"), "{\"status\":\"error\",\"message\":\"Failed to bring window to front\"}\n");
}

TEST_F(WindowFocus, WaitingNeverSleepsPastAnOddDeadline) {
    const HWND w = sim::AddWindow("never");
    sim::State().foregroundLag = -1;
    EXPECT_TRUE(SetForegroundWindow(w));
    EXPECT_FALSE(WaitForForeground(w, 25));
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{10, 10, 6}));
    sim::State().sleeps.clear();
    EXPECT_FALSE(WaitForForeground(w, 0));  // a look, the one tick, and a last look
    EXPECT_EQ(sim::State().sleeps, std::vector<DWORD>{1});
}

}  // namespace

namespace {

std::string HandleText(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    return text;
}

}  // namespace

// Keys typed into one window and then a focus on another: the first window reads its keys before
// it loses the foreground (and with it its focus), however the foreground moves, and the wait is
// short, bounded and skipped where it cannot help.
TEST_F(WindowFocus, TheWindowInFrontReadsItsInputBeforeTheForegroundMoves) {
    struct Case {
        const char* name;
        const char* command;  // focus or activate
        bool hung;
        bool busy;
        ULONGLONG idleMs;  // between the typing and the foreground change
        int lost;
        ULONGLONG waitedMs;
        bool looked;  // whether the window's update region was looked at
    };
    const Case cases[] = {
        {"focus", "focus", false, false, 0, 0, 0, true},
        {"activate", "activate", false, false, 0, 0, 0, true},
        {"input a while ago", "focus", false, false, 1500, 0, 0, false},
        {"hung: no wait", "focus", true, false, 0, 4, 0, false},
        {"busy: bounded", "focus", false, true, 0, 4, 501, true},
    };
    for (const Case& c : cases) {
        sim::Reset();
        const HWND a = sim::AddWindow("a");
        const HWND b = sim::AddWindow("b");
        sim::State().foreground = a;
        ASSERT_EQ(Answer("type kk"), "{\"status\":\"ok\",\"data\":4}\n") << c.name;
        sim::FindWindow(a)->hung = c.hung;
        sim::FindWindow(a)->busy = c.busy;
        sim::State().tickCount += c.idleMs;
        const ULONGLONG before = sim::State().tickCount;
        EXPECT_EQ(Answer(std::string(c.command) + " " + HandleText(b)), "{\"status\":\"ok\"}\n") << c.name;
        EXPECT_EQ(sim::State().foreground, b) << c.name;
        EXPECT_EQ(sim::State().lostInput, c.lost) << c.name;
        EXPECT_EQ(sim::State().tickCount - before, c.waitedMs) << c.name;
        EXPECT_EQ(sim::State().updateLooks > 0, c.looked) << c.name;
    }
}

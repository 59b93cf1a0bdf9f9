#include "support/session.h"
#include "windows/session.h"
#include "windows/window_control.h"
#include "windows/window_focus.h"
#include "windows/window_search.h"
#include "windows/window_info.h"

#include <string>
#include <vector>

namespace {

using WindowFacts = DesktopTest;
using WindowControl = DesktopTest;
using Activation = DesktopTest;

std::vector<std::string> Titles(const std::vector<WindowInfo>& list) {
    std::vector<std::string> titles;
    for (const WindowInfo& w : list) titles.push_back(w.title);
    return titles;
}

TEST_F(WindowFacts, ListsVisibleUncloakedWindowsFrontFirstWithMinimisedOnesFlagged) {
    sim::AddWindow("Front editor");
    sim::AddWindow("hidden tool", false);
    sim::AddWindow("Minimised editor", true, true);
    sim::FindWindow(sim::AddWindow("cloaked editor"))->cloaked = true;
    sim::AddWindow("");  // untitled windows are listed too
    sim::AddWindow("Back EDITOR");
    const std::vector<WindowInfo> all = ListWindows("");
    EXPECT_EQ(Titles(all), (std::vector<std::string>{"Front editor", "Minimised editor", "", "Back EDITOR"}));
    EXPECT_FALSE(all[0].minimized);
    EXPECT_TRUE(all[1].minimized);
    EXPECT_EQ(Titles(ListWindows("editor")),
              (std::vector<std::string>{"Front editor", "Minimised editor", "Back EDITOR"}));
    EXPECT_EQ(Titles(ListWindows("EDITOR")), Titles(ListWindows("editor")));
    EXPECT_TRUE(ListWindows("no such window").empty());
}

TEST_F(WindowFacts, EachWindowCarriesItsOwnFacts) {
    const std::string longTitle(3000, 'x');
    const HWND w = sim::AddWindow(longTitle + " caf\xC3\xA9 \xF0\x9F\x98\x80");
    sim::AddWindow("other");
    sim::Window& win = *sim::FindWindow(w);
    win.className = "Notepad";
    win.maximized = true;
    sim::State().foreground = w;
    const std::vector<WindowInfo> list = ListWindows("caf\xC3\xA9");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].hwnd, w);
    EXPECT_EQ(list[0].title, win.title);  // whole, no cut, non-ASCII intact
    EXPECT_EQ(list[0].className, "Notepad");
    EXPECT_EQ(list[0].pid, win.process);
    EXPECT_TRUE(list[0].maximized);
    EXPECT_TRUE(list[0].foreground);
    EXPECT_FALSE(ListWindows("other")[0].foreground);
}

TEST_F(WindowFacts, FrameIsWhatAPersonSeesAndTheClientAreaLiesInsideIt) {
    const HWND w = sim::AddWindow("framed");
    sim::FindWindow(w)->frame = RECT{100, 50, 900, 650};
    const auto frame = VisibleFrame(w);
    ASSERT_TRUE(frame);
    EXPECT_EQ((std::vector<int>{frame->left, frame->top, frame->right, frame->bottom}),
              (std::vector<int>{100, 50, 900, 650}));
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(w, &outer));  // the invisible borders are not part of the frame
    EXPECT_EQ((std::vector<int>{outer.left, outer.top, outer.right, outer.bottom}),
              (std::vector<int>{93, 50, 907, 657}));
    const auto client = ClientArea(w);
    ASSERT_TRUE(client);
    EXPECT_EQ((std::vector<int>{client->left, client->top, client->right, client->bottom}),
              (std::vector<int>{101, 81, 899, 649}));
    // Without the compositor's bounds, the window rectangle is all there is.
    sim::FindWindow(w)->dwmFrame = false;
    EXPECT_EQ(VisibleFrame(w)->left, 93);
}

TEST_F(WindowControl, StatesAreRequestedWithoutWaitingOnTheWindowAndConfirmed) {
    const HWND w = sim::AddWindow("target");
    EXPECT_TRUE(SetShowState(w, ShowState::Maximized));
    EXPECT_TRUE(IsZoomed(w));
    EXPECT_TRUE(SetShowState(w, ShowState::Minimized));
    EXPECT_TRUE(IsIconic(w));
    // Minimised from maximised, a restore brings it back maximised: it takes a second request.
    EXPECT_TRUE(SetShowState(w, ShowState::Restored));
    EXPECT_FALSE(IsIconic(w));
    EXPECT_FALSE(IsZoomed(w));
    for (const sim::WindowCall& call : sim::State().windowCalls) EXPECT_EQ(call.op, "ShowWindowAsync");
    EXPECT_EQ(sim::State().windowCalls.size(), 4u);
    EXPECT_TRUE(SetShowState(w, ShowState::Restored));  // already so: nothing asked
    EXPECT_EQ(sim::State().windowCalls.size(), 4u);
}

TEST_F(WindowControl, AHungWindowBlocksNothingAndFailsAtTheDeadline) {
    const HWND w = sim::AddWindow("hung", true, true);
    sim::FindWindow(w)->hung = true;
    const ULONGLONG started = sim::State().tickCount;
    EXPECT_FALSE(SetShowState(w, ShowState::Maximized));
    EXPECT_EQ(sim::State().tickCount - started, kStateTimeoutMs + 1);
    EXPECT_FALSE(MoveWindowFrame(w, 0, 0, 0, 0));
    EXPECT_EQ(RequestClose(w), 0u);
    EXPECT_FALSE(WaitForClose(w, 100));
    EXPECT_TRUE(FocusWindow(w));  // asks, and the restore is posted, not waited for
    EXPECT_FALSE(ListWindows("hung").empty());
    EXPECT_TRUE(sim::State().blockedCalls.empty());
}

TEST_F(WindowControl, MoveWindowPlacesTheVisibleFrameNotTheWindowRectangle) {
    const HWND w = sim::AddWindow("target");
    sim::FindWindow(w)->maximized = true;
    ASSERT_TRUE(MoveWindowFrame(w, 0, 0, 0, 0));
    EXPECT_FALSE(IsZoomed(w));
    RECT frame = sim::FindWindow(w)->frame;
    EXPECT_EQ((std::vector<int>{frame.left, frame.top, frame.right, frame.bottom}), (std::vector<int>{0, 0, 800, 600}));
    ASSERT_TRUE(MoveWindowFrame(w, -1280, 20, 640, 480));
    frame = sim::FindWindow(w)->frame;
    EXPECT_EQ((std::vector<int>{frame.left, frame.top, frame.right, frame.bottom}),
              (std::vector<int>{-1280, 20, -640, 500}));
    EXPECT_EQ(sim::State().windowCalls.back().arg,
              static_cast<int>(SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS));
}

TEST_F(WindowControl, WaitsSucceedOnTheLookThatSeesItAndNeverSleepPastTheDeadline) {
    sim::AddWindow("unrelated");
    const HWND late = sim::AddWindow("Save As");
    sim::FindWindow(late)->bornAfterEnums = 3;  // appears on the fourth walk
    EXPECT_EQ(WaitForWindow("save as", 1000), late);
    EXPECT_EQ(sim::State().enumWalks, 4);
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{10, 10, 10}));

    sim::State().sleeps.clear();
    EXPECT_EQ(WaitForWindow("never", 35), nullptr);
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{10, 10, 10, 6}));

    sim::FindWindow(late)->closesAfterChecks = 2;
    sim::State().sleeps.clear();
    EXPECT_TRUE(WaitForClose(late, 1000));
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{10, 10}));
    EXPECT_FALSE(WaitForClose(sim::State().windows[0].handle, 0));
}

TEST_F(WindowControl, CloseIsPostedAsTheCloseButtonsMessage) {
    const HWND w = sim::AddWindow("doc");
    EXPECT_EQ(RequestClose(w), 0u);
    EXPECT_EQ(sim::FindWindow(w)->posted, (std::vector<std::pair<UINT, WPARAM>>{{WM_CLOSE, 0}}));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(RequestClose(w), ERROR_INVALID_WINDOW_HANDLE);
}

class ActivationSteps : public DesktopTest {
   protected:
    void SetUp() override {
        DesktopTest::SetUp();
        other = sim::AddWindow("Other app");
        target = sim::AddWindow("Target", true, true);
        sim::State().foreground = other;
        sim::State().foregroundLock = true;
        sim::State().lastInputProcess = 0x9999;  // someone else typed last
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> ops;
        for (const sim::WindowCall& c : sim::State().windowCalls) ops.push_back(c.op);
        return ops;
    }
    HWND other = nullptr;
    HWND target = nullptr;
};

TEST_F(ActivationSteps, AnAcceptedRequestIsTheFirstAndLastStep) {
    sim::State().foregroundLock = false;
    EXPECT_TRUE(ActivateWindow(target));
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ShowWindowAsync", "SetForegroundWindow"}));
    EXPECT_FALSE(IsIconic(target));
    EXPECT_TRUE(sim::State().batches.empty());
}

TEST_F(ActivationSteps, RefusedUntilMarletSentTheLastInput) {
    EXPECT_TRUE(ActivateWindow(target));
    EXPECT_EQ(Calls(), (std::vector<std::string>{"ShowWindowAsync", "SetForegroundWindow", "SetForegroundWindow"}));
    ASSERT_EQ(sim::State().batches.size(), 1u);  // one empty mouse input, nothing pressed or moved
    EXPECT_EQ(sim::State().batches[0].size(), 1u);
    EXPECT_EQ(sim::State().batches[0][0].mi.dwFlags, MOUSEEVENTF_MOVE);
    EXPECT_EQ(sim::State().batches[0][0].mi.dx, 0);
    EXPECT_TRUE(sim::State().attachCalls.empty());
    EXPECT_EQ(sim::State().foreground, target);
}

TEST_F(ActivationSteps, LastResortAttachesToTheForegroundThreadAndAlwaysDetaches) {
    sim::State().plans = {{0, 5}};  // the empty input is refused (a desktop that takes none)
    EXPECT_TRUE(ActivateWindow(target));
    const std::string thread = std::to_string(sim::FindWindow(other)->thread);
    EXPECT_EQ(sim::State().attachCalls, (std::vector<std::string>{"attach " + thread, "detach " + thread}));
    EXPECT_TRUE(sim::State().attachedInputs.empty());
    EXPECT_EQ(sim::State().foreground, target);
    // From a thread of its own: the daemon's thread keeps its input (and its key state).
    EXPECT_EQ(sim::State().threadsStarted, 1);
    ASSERT_EQ(sim::State().threadLocks.size(), 1u);  // the one input reset is the one joined
    EXPECT_EQ(sim::State().threadLocks.begin()->first, sim::FindWindow(other)->thread);
}

TEST_F(ActivationSteps, FailsWhenEveryStepIsRefusedAndStillDetaches) {
    sim::State().refuseForeground = true;
    EXPECT_FALSE(ActivateWindow(target));
    EXPECT_EQ(sim::State().attachCalls.size(), 2u);
    EXPECT_TRUE(sim::State().attachedInputs.empty());
    EXPECT_EQ(sim::State().foreground, other);
}

TEST_F(ActivationSteps, AnAcceptedRequestIsCheckedNotTrusted) {
    sim::State().foregroundLock = false;
    sim::State().foregroundLag = -1;  // accepted, and never shown
    EXPECT_FALSE(ActivateWindow(target));
    EXPECT_EQ(sim::State().attachCalls.size(), 2u);  // all three steps were tried
}

TEST_F(WindowControl, SessionSaysWhereInputGoes) {
    SessionInfo info = ReadSession();
    EXPECT_EQ(info.session, 1u);
    EXPECT_EQ(info.desktop, "Default");
    EXPECT_TRUE(info.interactive);
    sim::State().session = 0;
    EXPECT_FALSE(ReadSession().interactive);
    sim::State().session = 2;
    sim::State().inputDesktop = "Winlogon";
    info = ReadSession();
    EXPECT_EQ(info.desktop, "Winlogon");
    EXPECT_FALSE(info.interactive);
    sim::State().inputDesktop = "";  // the secure desktop cannot even be opened
    info = ReadSession();
    EXPECT_EQ(info.desktop, "");
    EXPECT_FALSE(info.interactive);
}

}  // namespace

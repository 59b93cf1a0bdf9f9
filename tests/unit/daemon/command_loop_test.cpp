#include "daemon/command_loop.h"
#include "daemon/daemon_state.h"
#include "daemon/texts.h"
#include "support/answers.h"
#include "support/session.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace {

using CommandLoop = DesktopTest;

TEST_F(CommandLoop, WritesBannerAndFarewellAroundTheSessionAndExitsZero) {
    const Transcript t = RunSession("");
    EXPECT_EQ(t.out, "");
    EXPECT_EQ(t.err, kBannerLine + kFarewellLine);
    EXPECT_EQ(t.status, 0);
}

TEST_F(CommandLoop, LeavesTheErrorStreamAsItFoundIt) {
    // The process's error stream outlives the answer stream main hands the loop, and is flushed
    // at exit: a tie left pointing at the answer stream would be followed after it is gone.
    std::ostringstream before;
    std::ostringstream err;
    err.tie(&before);
    {
        std::istringstream in("pos\nquit\n");
        std::ostringstream out;
        EXPECT_EQ(RunDaemon(in, out, err), 0);
    }
    EXPECT_EQ(err.tie(), &before);
    EXPECT_FALSE(err.flags() & std::ios::unitbuf);
    err << "still usable" << std::flush;
    EXPECT_EQ(err.str(), kBannerLine + kFarewellLine + "still usable");
}

TEST_F(CommandLoop, SilentLinesGetNoAnswerAtAll) {
    const Transcript t = RunSession("\n   \n\t\r\n# a comment\n  \t# indented comment\n\"\"\n\"\" \"\"\n\"\n");
    EXPECT_EQ(t.out, "");
    EXPECT_EQ(t.err, kBannerLine + kFarewellLine);
}

TEST_F(CommandLoop, CommandWordsAreCaseInsensitiveAndMayBeQuoted) {
    for (const std::string line : {"help", "HELP", "Help", "\"help\"", "help me please", "  help  \r"}) {
        const Transcript t = RunSession(line + "\n");
        EXPECT_EQ(t.out, kOk) << line;
        EXPECT_EQ(t.err.size(), kBannerLine.size() + 1287 + kFarewellLine.size()) << line;
    }
}

TEST_F(CommandLoop, UnknownCommandEchoesTheLowerCasedWord) {
    EXPECT_EQ(Answer("HELLO"), Error("Unknown command: hello. Type 'help' for usage."));
    EXPECT_EQ(Answer("a#b"), Error("Unknown command: a#b. Type 'help' for usage."));
    // Client text is escaped so the line stays valid JSON.
    EXPECT_EQ(Answer("C:\\Users\tx"), Error("Unknown command: c:\\\\users\\tx. Type 'help' for usage."));
}

TEST_F(CommandLoop, VersionWritesTwoLinesAndIgnoresArguments) {
    EXPECT_EQ(Answer("version"), kOk + "{\"version\":\"1.0.0\"}\n");
    EXPECT_EQ(Answer("VERSION 2 3"), kOk + "{\"version\":\"1.0.0\"}\n");
}

TEST_F(CommandLoop, QuitAndItsAliasesStopReading) {
    for (const std::string word : {"quit", "exit", "shutdown", "QUIT now"}) {
        const Transcript t = RunSession(word + "\nversion\nhelp\n");
        EXPECT_EQ(t.out, kOk) << word;
        EXPECT_EQ(t.err, kBannerLine + kFarewellLine) << word;
        EXPECT_EQ(t.status, 0);
        EXPECT_EQ(t.unread, "version\nhelp\n") << word;
    }
}

TEST_F(CommandLoop, LastLineWithoutLineFeedIsStillCarriedOut) {
    EXPECT_EQ(RunSession("version\r\nwait 5").out, kOk + "{\"version\":\"1.0.0\"}\n" + kOk);
    EXPECT_EQ(sim::State().sleeps, std::vector<DWORD>{5});
}

TEST_F(CommandLoop, WaitSleepsItsMilliseconds) {
    EXPECT_EQ(RunSession("wait 0\nwait 200\nwait 1.5\nwait 2147483647\n").out, kOk + kOk + kOk + kOk);
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{0, 200, 1, 2147483647}));
}

TEST_F(CommandLoop, WaitRefusesWhatItCannotSleep) {
    EXPECT_EQ(RunSession("wait\nwait abc\nwait -1\nwait -2147483648\nwait 3000000000\nwait 7\n").out,
              Error("Usage: wait N") + Error("Exception: invalid stoi argument") +
                  Error("Invalid wait: N must not be negative") + Error("Invalid wait: N must not be negative") +
                  Error("Exception: stoi argument out of range") + kOk);
    // Only the last one slept: nothing negative reached Sleep.
    EXPECT_EQ(sim::State().sleeps, std::vector<DWORD>{7});
}

TEST_F(CommandLoop, EveryCommandLineGetsExactlyOneAnswerInOrder) {
    const Transcript t = RunSession("wait x\n\nnope\n#\nhelp\nwait 1\n");
    EXPECT_EQ(t.out, Error("Exception: invalid stoi argument") +
                         Error("Unknown command: nope. Type 'help' for usage.") + kOk + kOk);
}

TEST_F(CommandLoop, AskForPerMonitorAwarenessWhenTheSystemHasIt) {
    RunSession("");
    EXPECT_EQ(sim::State().dpiAwarenessContextCalls, std::vector<LONG_PTR>{-4});
    EXPECT_EQ(sim::State().dpiAwareCalls, 0);
}

TEST_F(CommandLoop, RefusedPerMonitorAwarenessIsNotFollowedBySystemAwareness) {
    sim::State().dpiAwarenessContextResult = FALSE;
    const Transcript t = RunSession("version\n");
    EXPECT_EQ(sim::State().dpiAwarenessContextCalls, std::vector<LONG_PTR>{-4});
    EXPECT_EQ(sim::State().dpiAwareCalls, 0);
    EXPECT_EQ(t.err, kBannerLine + kFarewellLine);
}

TEST_F(CommandLoop, FallsBackToSystemAwarenessWithoutTheEntryPoint) {
    sim::State().hasDpiAwarenessContext = false;
    EXPECT_EQ(RunSession("version\n").out, kOk + "{\"version\":\"1.0.0\"}\n");
    EXPECT_TRUE(sim::State().dpiAwarenessContextCalls.empty());
    EXPECT_EQ(sim::State().dpiAwareCalls, 1);

    sim::Reset();
    sim::State().user32Loaded = false;
    RunSession("");
    EXPECT_EQ(sim::State().dpiAwareCalls, 1);
}

Flow ThrowsStandard(const Args&, Session&) { throw std::runtime_error("disk on fire"); }
Flow ThrowsOther(const Args&, Session&) { throw 42; }

TEST_F(CommandLoop, GuardTurnsAnythingThrownIntoAnErrorLine) {
    std::ostringstream out;
    std::ostringstream err;
    DaemonState state;
    Session session{out, err, state};
    EXPECT_EQ(RunGuarded(ThrowsStandard, {"x"}, "x", session), Flow::Continue);
    EXPECT_EQ(RunGuarded(ThrowsOther, {"x"}, "x", session), Flow::Continue);
    EXPECT_EQ(RunGuarded(nullptr, {"Zap"}, "zap", session), Flow::Continue);
    EXPECT_EQ(out.str(), Error("Exception: disk on fire") + Error("Unknown error") +
                             Error("Unknown command: zap. Type 'help' for usage."));
}

TEST(HelpText, IsTwentyThreeLinesOf1287Bytes) {
    std::ostringstream err;
    PrintHelp(err);
    const std::string help = err.str();
    EXPECT_EQ(help.size(), 1287u);
    EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 23);
    EXPECT_EQ(help.substr(0, 39), "marlet - Windows GUI automation daemon\n");
    EXPECT_NE(help.find("  rclick X,Y                     - Right-click at coordinates  \n"), std::string::npos);
    EXPECT_NE(help.find("  quit                           - Exit daemon\n\nCoordinates:"), std::string::npos);
    EXPECT_TRUE(help.ends_with("      num0-num9, num*, num+, num-, num., num/, numenter\n"));
}

}  // namespace

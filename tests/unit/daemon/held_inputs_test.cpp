#include "support/records.h"
#include "support/answers.h"
#include "support/session.h"

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using HeldInputs = DesktopTest;

TEST_F(HeldInputs, WhatIsStillHeldIsReleasedOnceInOneBatchAtEveryExit) {
    for (const std::string ending : {"quit\n", "", "exit\nmore ignored\n"}) {
        sim::Reset();
        const Transcript t = RunSession("down ctrl\ndown rshift\nmousedown 5,5 right\n" + ending);
        const auto batches = Batches();
        ASSERT_FALSE(batches.empty()) << ending;
        EXPECT_EQ(batches.back(), (Strings{"key 0xA1 0x36 0x000A", "key 0x11 0x1D 0x000A", "mouse 0 0 0 0xC010"}))
            << ending;
        EXPECT_TRUE(sim::State().heldKeys.empty()) << ending;
        EXPECT_TRUE(sim::State().heldButtons.empty()) << ending;
        EXPECT_EQ(sim::State().strayKeyUps, 0) << ending;
        EXPECT_NE(t.err.find("Released on exit: rshift, ctrl, right button\n" + kFarewellLine), std::string::npos) << t.err;
    }
}

// Commands, then a console control event while the loop waits for more input, as Ctrl+C or a
// closed console window sends it on a thread of its own.
class ControlEventInput : public std::streambuf {
   public:
    ControlEventInput(std::string commands, DWORD event) : commands_(std::move(commands)), event_(event) {}
    bool handled = true;
    std::size_t heldKeysAfter = 99;
    std::size_t heldButtonsAfter = 99;
    std::vector<Strings> batchesAfter;

   protected:
    int_type underflow() override {
        if (!given_) {
            given_ = true;
            setg(commands_.data(), commands_.data(), commands_.data() + commands_.size());
            return traits_type::to_int_type(commands_[0]);
        }
        if (!raised_) {
            raised_ = true;
            handled = sim::RaiseConsoleControl(event_);
            heldKeysAfter = sim::State().heldKeys.size();
            heldButtonsAfter = sim::State().heldButtons.size();
            batchesAfter = Batches();
        }
        return traits_type::eof();
    }

   private:
    std::string commands_;
    DWORD event_;
    bool given_ = false;
    bool raised_ = false;
};

TEST_F(HeldInputs, AConsoleControlEventReleasesWhatIsHeldBeforeTheProcessEnds) {
    for (const DWORD event : {CTRL_C_EVENT, CTRL_BREAK_EVENT, CTRL_CLOSE_EVENT}) {
        sim::Reset();
        ControlEventInput input("down ctrl+shift\nmousedown 5,5 right\n", event);
        std::istream in(&input);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunDaemon(in, out, err), 0);
        EXPECT_EQ(out.str(), Data(2) + Data(1));
        // The handler let the system go on ending the process, after the release.
        EXPECT_FALSE(input.handled) << event;
        EXPECT_EQ(input.heldKeysAfter, 0u) << event;
        EXPECT_EQ(input.heldButtonsAfter, 0u) << event;
        ASSERT_FALSE(input.batchesAfter.empty());
        EXPECT_EQ(input.batchesAfter.back(),
                  (Strings{"key 0x10 0x2A 0x000A", "key 0x11 0x1D 0x000A", "mouse 0 0 0 0xC010"}));
        // Released once: the end of the loop finds nothing left, and takes its handler away.
        EXPECT_EQ(Batches().size(), input.batchesAfter.size()) << event;
        EXPECT_EQ(err.str().find("Released on exit"), std::string::npos) << err.str();
        EXPECT_TRUE(sim::State().consoleHandlers.empty());
        EXPECT_EQ(sim::State().strayKeyUps, 0);
    }
}

TEST_F(HeldInputs, AConsoleControlEventWithNothingHeldSendsNothing) {
    ControlEventInput input("pos\n", CTRL_C_EVENT);
    std::istream in(&input);
    std::ostringstream out;
    std::ostringstream err;
    RunDaemon(in, out, err);
    EXPECT_FALSE(input.handled);
    EXPECT_TRUE(input.batchesAfter.empty());
}

}  // namespace

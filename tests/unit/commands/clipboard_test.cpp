#include "support/records.h"
#include "support/answers.h"
#include "support/session.h"

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using ClipboardCommands = DesktopTest;

TEST_F(ClipboardCommands, ClipboardRoundTripsAnyTextAndWaitsOutABusyHolder) {
    EXPECT_EQ(Answer("clipboard"), "{\"status\":\"ok\",\"text\":\"\"}\n");
    EXPECT_EQ(Answer(R"(setclipboard "caf\u00e9 \ud83d\ude00 \"q\" \\ line\nnext\t!")"), kOk);
    EXPECT_EQ(sim::State().clipboardText, "caf\xC3\xA9 \xF0\x9F\x98\x80 \"q\" \\ line\nnext\t!");
    EXPECT_EQ(Answer("clipboard"),
              "{\"status\":\"ok\",\"text\":\"caf\xC3\xA9 \xF0\x9F\x98\x80 \\\"q\\\" \\\\ line\\nnext\\t!\"}\n");
    EXPECT_EQ(sim::State().globalBlocks, 0);  // the block went to the clipboard
    EXPECT_FALSE(sim::State().clipboardOpen);

    sim::State().clipboardBusyTries = 5;  // another program lets go after five tries
    EXPECT_EQ(Answer(R"(setclipboard "")"), kOk);
    EXPECT_EQ(sim::State().clipboardText, "");
    sim::State().clipboardBusyTries = 1000000;  // and one that never does
    const ULONGLONG started = sim::State().tickCount;
    EXPECT_EQ(Answer("clipboard"), Error("Clipboard is busy"));
    EXPECT_EQ(Answer(R"(setclipboard "x")"), Error("Clipboard is busy"));
    EXPECT_LE(sim::State().tickCount - started, 2u * 1001u);  // each gave up after a second
    EXPECT_EQ(sim::State().globalBlocks, 0);
    EXPECT_FALSE(sim::State().clipboardOpen);
}

TEST_F(ClipboardCommands, SetClipboardErrors) {
    const std::string usage = Error("Usage: setclipboard \\\"text\\\"");
    EXPECT_EQ(Answer("setclipboard"), usage);
    EXPECT_EQ(Answer(R"(setclipboard "a" b)"), usage);
    EXPECT_EQ(Answer(R"(setclipboard "a\u0000b")"), Error("Clipboard text cannot hold U+0000"));
    EXPECT_EQ(Answer(R"(setclipboard 'a')"), Error("Invalid JSON string: expected a quote at byte 0"));
    EXPECT_FALSE(sim::State().clipboardHasText);
}

}  // namespace

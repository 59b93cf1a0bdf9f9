#include "keyboard/key_combo.h"
#include "keyboard/text_typing.h"
#include "support/records.h"
#include "support/session.h"

namespace {

using Strings = std::vector<std::string>;
using TextTyping = DesktopTest;

ActionResult Type(const std::string& text) { return TypeText(text); }

TEST_F(TextTyping, LowerCaseLetterIsOneBatchOfTwoRecords) {
    const ActionResult r = Type("a");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x41 0x1E 0x0008", "key 0x41 0x1E 0x000A"}}));
    // The character key's scan code comes from the narrow lookup.
    ASSERT_EQ(sim::State().mapCalls.size(), 1u);
    EXPECT_FALSE(sim::State().mapCalls[0].wide);
}

TEST_F(TextTyping, ShiftedCharactersAreWrappedInShift) {
    EXPECT_EQ(Type("Ab").count, 6u);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x10 0x2A 0x0008", "key 0x41 0x1E 0x0008", "key 0x41 0x1E 0x000A",
                                                "key 0x10 0x2A 0x000A"},
                                               {"key 0x42 0x30 0x0008", "key 0x42 0x30 0x000A"}}));
}

TEST_F(TextTyping, ModifiersGoDownShiftCtrlAltAndUpInReverse) {
    sim::State().vkScan['q'] = 0x0651;                      // Ctrl+Alt, as an AltGr character
    sim::State().vkScan['w'] = 0x0757;                      // all three
    sim::State().vkScan['e'] = static_cast<SHORT>(0x3845);  // only bits we do not press
    EXPECT_EQ(Type("q").count, 6u);
    EXPECT_EQ(Batches().back(), (Strings{"key 0x11 0x1D 0x0008", "key 0x12 0x38 0x0008", "key 0x51 0x10 0x0008",
                                         "key 0x51 0x10 0x000A", "key 0x12 0x38 0x000A", "key 0x11 0x1D 0x000A"}));
    EXPECT_EQ(Type("w").count, 8u);
    EXPECT_EQ(Batches().back(), (Strings{"key 0x10 0x2A 0x0008", "key 0x11 0x1D 0x0008", "key 0x12 0x38 0x0008",
                                         "key 0x57 0x11 0x0008", "key 0x57 0x11 0x000A", "key 0x12 0x38 0x000A",
                                         "key 0x11 0x1D 0x000A", "key 0x10 0x2A 0x000A"}));
    EXPECT_EQ(Type("e").count, 2u);
    EXPECT_EQ(Batches().back(), (Strings{"key 0x45 0x12 0x0008", "key 0x45 0x12 0x000A"}));
}

TEST_F(TextTyping, SpacesTabsAndCarriageReturnsAreLookedUpLikeAnyByte) {
    EXPECT_EQ(Type(" \t\r").count, 6u);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x20 0x39 0x0008", "key 0x20 0x39 0x000A"},
                                               {"key 0x09 0x0F 0x0008", "key 0x09 0x0F 0x000A"},
                                               {"key 0x0D 0x1C 0x0008", "key 0x0D 0x1C 0x000A"}}));
}

TEST_F(TextTyping, EmptyTextAndKeylessControlBytesSendNothing) {
    EXPECT_EQ(Type("").count, 0u);
    EXPECT_TRUE(Type("").success);
    sim::State().vkScan[0x01] = -1;
    sim::State().vkScan[0x02] = -1;
    const ActionResult r = Type("\x01\x02");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.count, 0u);
    EXPECT_TRUE(sim::State().batches.empty());
    EXPECT_EQ(Type("a\x01z").count, 4u);
    EXPECT_EQ(sim::State().batches.size(), 2u);
}

TEST_F(TextTyping, CharactersWithoutAKeyAreSentAsUnicode) {
    EXPECT_EQ(Type("caf\xC3\xA9").count, 8u);  // café
    EXPECT_EQ(Batches().back(), (Strings{"key 0x00 0xE9 0x0004", "key 0x00 0xE9 0x0006"}));
    sim::Reset();
    EXPECT_EQ(Type("\xE6\x97\xA5\xE6\x9C\xAC").count, 4u);  // 日本: one batch per character
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x00 0x65E5 0x0004", "key 0x00 0x65E5 0x0006"},
                                               {"key 0x00 0x672C 0x0004", "key 0x00 0x672C 0x0006"}}));
    sim::Reset();
    EXPECT_EQ(Type("\xF0\x9F\x98\x80").count, 4u);  // U+1F600, a surrogate pair
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x00 0xD83D 0x0004", "key 0x00 0xD83D 0x0006",
                                                "key 0x00 0xDE00 0x0004", "key 0x00 0xDE00 0x0006"}}));
    EXPECT_EQ(sim::State().typedUnits, (std::vector<std::uint32_t>{0xD83D, 0xDE00}));
    sim::Reset();
    sim::State().vkScan['~'] = -1;  // printable ASCII the layout lacks
    EXPECT_EQ(Type("~").count, 2u);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x00 0x7E 0x0004", "key 0x00 0x7E 0x0006"}}));
}

TEST_F(TextTyping, InvalidUtf8BytesAreSkipped) {
    const ActionResult r = Type("a\xE9z\xC3\x28\xED\xA0\x80\xF0\x9F\x98");
    EXPECT_TRUE(r.success);
    // a, z and the ( that followed a cut-short lead byte; nothing for the broken sequences.
    EXPECT_EQ(r.count, 8u);
    EXPECT_EQ(sim::State().batches.size(), 3u);
    EXPECT_TRUE(sim::State().typedUnits.empty());
    sim::Reset();
    EXPECT_EQ(Type("\xC2\x85").count, 0u);  // U+0085 is a control character
}

TEST_F(TextTyping, TheEndsOfEveryCharacterRange) {
    // The last control characters are skipped; the first characters after them are typed; the
    // first and last characters of each UTF-8 length arrive as themselves; a character beyond
    // U+FFFF goes as a surrogate pair, from the very first one.
    const std::pair<std::string, std::vector<std::uint32_t>> cases[] = {
        {"\xC2\x9F", {}},                        // U+009F, the last C1 control
        {"\xC2\xA0", {0xA0}},                    // U+00A0, the no-break space: typed
        {"\xDF\xBF", {0x7FF}},                   // last two-byte character
        {"\xE0\xA0\x80", {0x800}},               // first three-byte character
        {"\xEF\xBF\xBD", {0xFFFD}},              // the replacement character itself
        {"\xF0\x90\x80\x80", {0xD800, 0xDC00}},  // U+10000
        {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},  // U+10FFFF
        {"\xF5\x80\x80\x80", {}},                // no such character: skipped, four bytes
        {"\xF4\x90\x80\x80", {}},                // beyond U+10FFFF
    };
    for (const auto& [text, units] : cases) {
        sim::Reset();
        sim::State().vkScan[0x7F] = -1;
        ASSERT_TRUE(Type(text).success);
        EXPECT_EQ(sim::State().typedUnits, units) << text.size();
        EXPECT_EQ(sim::State().batches.size(), units.empty() ? 0u : 1u) << text.size();
    }
    sim::Reset();
    sim::State().vkScan[0x7F] = -1;
    EXPECT_EQ(Type("\x7F").count, 0u);  // DEL without a key: skipped
}

TEST_F(TextTyping, PausesBetweenCharacterBatchesOnly) {
    sim::State().vkScan[0x01] = -1;
    ASSERT_TRUE(TypeText("ab\x01\xC3\xA9", 10).success);
    EXPECT_EQ(sim::State().sleeps, (std::vector<DWORD>{10, 10}));  // three batches; the control byte is skipped
}

TEST_F(TextTyping, RefusedBatchStopsTypingAndKeepsTheCountOfWhatWentBefore) {
    sim::State().plans = {{2, 0}, {4, 0}, {0, 5}};
    const ActionResult r = Type("aBcd");
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.message, "Type failed: 5");
    EXPECT_EQ(r.count, 6u);
    EXPECT_EQ(sim::State().batches.size(), 3u);  // d is never tried
}

TEST_F(TextTyping, PartlyAcceptedBatchReleasesItsKeys) {
    sim::State().plans = {{2, 1400}};  // Shift and A down, the rest refused
    const ActionResult r = Type("A");
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.message, "Type failed: 1400");
    EXPECT_EQ(r.count, 0u);
    ASSERT_EQ(Batches().size(), 2u);
    EXPECT_EQ(Batches()[1], (Strings{"key 0x41 0x1E 0x000A", "key 0x10 0x2A 0x000A"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());

    sim::Reset();
    sim::State().plans = {{1, 5}};  // the first half of a surrogate pair went down
    EXPECT_FALSE(Type("\xF0\x9F\x98\x80").success);
    ASSERT_EQ(Batches().size(), 2u);
    EXPECT_EQ(Batches()[1], (Strings{"key 0x00 0xD83D 0x0006"}));
    EXPECT_TRUE(sim::State().heldKeys.empty());
}

TEST_F(TextTyping, TextArrivesAsSentWhateverTheCapsLock) {
    const HWND front = sim::AddWindow("editor");
    sim::State().foreground = front;
    for (const bool caps : {false, true}) {
        sim::State().capsLock = caps;
        sim::State().layoutText.clear();
        ASSERT_TRUE(Type("Ab1!zZ ~").success) << caps;
        EXPECT_EQ(sim::State().layoutText, "Ab1!zZ ~") << caps;
    }
}

// The lock the user set stays set for the window: reading it changes no other program's key state
// (an attach to the window's input would reset it), on a system that resets a key state to its
// own (Windows) and on one that clears it (Wine), where the presses marlet sent are counted.
TEST_F(TextTyping, ReadingTheCapsLockLeavesTheWindowsLockAsItWas) {
    for (const bool cleared : {false, true}) {
        sim::Reset();
        sim::State().keyStatesCleared = cleared;
        const HWND front = sim::AddWindow("editor");
        sim::State().foreground = front;
        const DWORD thread = sim::FindWindow(front)->thread;
        ASSERT_TRUE(PressKeyCombo("capslock").success);
        ASSERT_TRUE(PressKeyCombo("a").success);
        ASSERT_TRUE(TypeText("Ab1!").success);
        EXPECT_TRUE(sim::LocksSeenBy(thread).capsLock) << cleared;
        ASSERT_TRUE(PressKeyCombo("a").success);
        EXPECT_EQ(sim::State().layoutText, "AAb1!A") << cleared;
        for (const std::string& call : sim::State().attachCalls)
            EXPECT_NE(call, "attach " + std::to_string(thread)) << cleared;  // never the window's input
        // Pressed again, the lock is off, and the text still arrives as sent.
        ASSERT_TRUE(PressKeyCombo("capslock").success);
        sim::State().layoutText.clear();
        ASSERT_TRUE(TypeText("Ab").success);
        EXPECT_EQ(sim::State().layoutText, "Ab") << cleared;
        EXPECT_FALSE(sim::LocksSeenBy(thread).capsLock) << cleared;
    }
}

TEST_F(TextTyping, UnderCapsLockLettersTakeTheOppositeShift) {
    sim::State().foreground = sim::AddWindow("editor");
    sim::State().capsLock = true;
    ASSERT_TRUE(Type("Ab").success);
    EXPECT_EQ(Batches(), (std::vector<Strings>{{"key 0x41 0x1E 0x0008", "key 0x41 0x1E 0x000A"},
                                               {"key 0x10 0x2A 0x0008", "key 0x42 0x30 0x0008", "key 0x42 0x30 0x000A",
                                                "key 0x10 0x2A 0x000A"}}));
}

}  // namespace

#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DecodeCase {
    std::string bytes;
    std::size_t length;  // 0: not a well-formed sequence
    char32_t codePoint;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    for (const char b : c.bytes) *os << std::hex << (static_cast<unsigned>(b) & 0xFF) << ' ';
}

class DecodeUtf8Table : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf8Table, TakesExactlyTheWellFormedSequences) {
    char32_t codePoint = 0xFFFFFFFF;
    EXPECT_EQ(DecodeUtf8(GetParam().bytes, 0, codePoint), GetParam().length);
    if (GetParam().length > 0) {
        EXPECT_EQ(codePoint, GetParam().codePoint);
    }
}

// The ends of every form: first and last code point of each length, the first and last lead
// byte of each range, the bytes just outside them, and every way a sequence can be cut short.
INSTANTIATE_TEST_SUITE_P(
    Forms, DecodeUtf8Table,
    ::testing::Values(DecodeCase{std::string(1, '\0'), 1, 0}, DecodeCase{"\x7F", 1, 0x7F}, DecodeCase{"\x80", 0, 0},
                      DecodeCase{"\xBF", 0, 0}, DecodeCase{"\xC0\x80", 0, 0}, DecodeCase{"\xC1\xBF", 0, 0},
                      DecodeCase{"\xC2\x80", 2, 0x80}, DecodeCase{"\xC2\xA0", 2, 0xA0},
                      DecodeCase{"\xDF\xBF", 2, 0x7FF}, DecodeCase{"\xDF\xC0", 0, 0}, DecodeCase{"\xDF\x7F", 0, 0},
                      DecodeCase{"\xDF", 0, 0}, DecodeCase{"\xE0\x9F\xBF", 0, 0}, DecodeCase{"\xE0\xA0\x80", 3, 0x800},
                      DecodeCase{"\xED\x9F\xBF", 3, 0xD7FF}, DecodeCase{"\xED\xA0\x80", 0, 0},
                      DecodeCase{"\xED\xBF\xBF", 0, 0}, DecodeCase{"\xEE\x80\x80", 3, 0xE000},
                      DecodeCase{"\xEF\xBF\xBF", 3, 0xFFFF}, DecodeCase{"\xEF\xBF", 0, 0},
                      DecodeCase{"\xEF\xBF\xC0", 0, 0}, DecodeCase{"\xF0\x8F\xBF\xBF", 0, 0},
                      DecodeCase{"\xF0\x90\x80\x80", 4, 0x10000}, DecodeCase{"\xF3\xBF\xBF\xBF", 4, 0xFFFFF},
                      DecodeCase{"\xF4\x8F\xBF\xBF", 4, 0x10FFFF}, DecodeCase{"\xF4\x90\x80\x80", 0, 0},
                      DecodeCase{"\xF5\x80\x80\x80", 0, 0}, DecodeCase{"\xF6\x80\x80\x80", 0, 0},
                      DecodeCase{"\xF7\xBF\xBF\xBF", 0, 0}, DecodeCase{"\xF8\x88\x80\x80\x80", 0, 0},
                      DecodeCase{"\xFF", 0, 0}, DecodeCase{"\xF0\x90\x80", 0, 0},
                      DecodeCase{"\xF0\x90\x80\x7F", 0, 0}));

TEST(DecodeUtf8, ReadsAtTheOffsetGivenAndNothingBeyondTheText) {
    const std::string text = "a\xC3\xA9z";
    char32_t codePoint = 0;
    EXPECT_EQ(DecodeUtf8(text, 1, codePoint), 2u);
    EXPECT_EQ(codePoint, 0xE9u);
    EXPECT_EQ(DecodeUtf8(text, 4, codePoint), 0u);
    EXPECT_EQ(DecodeUtf8(std::string_view(text.data(), 2), 1, codePoint), 0u);  // cut by the view's end
}

}  // namespace

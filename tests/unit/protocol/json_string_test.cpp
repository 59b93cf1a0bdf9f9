#include "protocol/json_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    std::string literal;
    bool ok;
    std::string valueOrError;
    std::size_t offsetOrEnd;
};

void PrintTo(const Case& c, std::ostream* os) { *os << "[" << c.literal << "]"; }

class JsonStringTable : public ::testing::TestWithParam<Case> {};

TEST_P(JsonStringTable, ReadsExactlyTheLiteral) {
    const JsonString got = ReadJsonString(GetParam().literal);
    ASSERT_EQ(got.ok, GetParam().ok) << got.error;
    if (got.ok) {
        EXPECT_EQ(got.value, GetParam().valueOrError);
        EXPECT_EQ(got.end, GetParam().offsetOrEnd);
    } else {
        EXPECT_EQ(got.error, GetParam().valueOrError);
        EXPECT_EQ(got.offset, GetParam().offsetOrEnd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Literals, JsonStringTable,
    ::testing::Values(
        Case{R"("")", true, "", 2}, Case{R"("plain")", true, "plain", 7},
        Case{R"("He said \"hi\"")", true, "He said \"hi\"", 16}, Case{R"("a\\b\/c")", true, "a\\b/c", 9},
        Case{R"("\b\f\n\r\t")", true, "\b\f\n\r\t", 12}, Case{R"("  both ends  ")", true, "  both ends  ", 15},
        Case{R"("caf\u00e9 \u65E5")", true, "caf\xC3\xA9 \xE6\x97\xA5", 18},
        Case{"\"caf\xC3\xA9\"", true, "caf\xC3\xA9", 7}, Case{R"("\u0000x")", true, std::string("\0x", 2), 9},
        Case{R"("\ud83d\ude00")", true, "\xF0\x9F\x98\x80", 14},
        Case{R"("\uDBFF\uDFFF")", true, "\xF4\x8F\xBF\xBF", 14}, Case{R"("x" 10)", true, "x", 3},
        // What is wrong, and where (the byte, from the opening quote).
        Case{R"(x")", false, "expected a quote", 0}, Case{"", false, "expected a quote", 0},
        Case{R"("abc)", false, "missing closing quote", 4}, Case{R"("a\)", false, "unfinished escape", 2},
        Case{R"("a\x")", false, "invalid escape \\x", 2}, Case{R"("\u12")", false, "invalid \\u escape", 1},
        Case{R"("\u12G4")", false, "invalid \\u escape", 1}, Case{R"("\ud83d")", false, "lone surrogate", 1},
        Case{R"("\ud83dx\ude00")", false, "lone surrogate", 1}, Case{R"("\ud83d\u0041")", false, "lone surrogate", 1},
        Case{R"("ab\ude00")", false, "lone surrogate", 3}, Case{"\"a\tb\"", false, "control character", 2},
        Case{"\"a\xC3\"", false, "invalid UTF-8", 2}, Case{"\"\xF5\x80\x80\x80\"", false, "invalid UTF-8", 1}));

}  // namespace

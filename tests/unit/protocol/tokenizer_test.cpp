#include "protocol/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
    std::string line;
    std::vector<std::string> args;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << "[" << c.line << "]"; }

class SplitArgsTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitArgsTable, SplitsAsTheQuotingRulesSay) { EXPECT_EQ(SplitArgs(GetParam().line), GetParam().args); }

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitArgsTable,
    ::testing::Values(SplitCase{"click   100,200   left", {"click", "100,200", "left"}},
                      SplitCase{"type \"hello   world\"", {"type", "hello   world"}}, SplitCase{"find \"\"", {"find"}},
                      SplitCase{"\"\"", {}}, SplitCase{"\"", {}}, SplitCase{"type \"abc", {"type", "abc"}},
                      SplitCase{"type \"a b", {"type", "a b"}}, SplitCase{"ab\"c d\"e", {"abc de"}},
                      SplitCase{"\"a\"b", {"ab"}}, SplitCase{"say \\\"x\\\"", {"say", "\\\"x\\\""}},
                      SplitCase{"a\\\\\"b c", {"a\\\\\"b", "c"}}, SplitCase{"type  \"  x  \"", {"type", "  x  "}},
                      SplitCase{"\\\"hi\\\"", {"\\\"hi\\\""}}, SplitCase{"type a\tb", {"type", "a\tb"}},
                      // A tab does not separate: after a space it starts the next argument,
                      // after a closing quote it goes on with the same one.
                      SplitCase{"type a \tb", {"type", "a", "\tb"}}, SplitCase{"type \"a\"\tb", {"type", "a\tb"}},
                      SplitCase{"type \"a\" \t", {"type", "a", "\t"}}, SplitCase{"", {}}, SplitCase{"   ", {}},
                      SplitCase{std::string("a\0b c", 5), {std::string("a\0b", 3), "c"}},
                      SplitCase{"caf\xC3\xA9 \"\xE6\x97\xA5 \xE6\x9C\xAC\"",
                                {"caf\xC3\xA9", "\xE6\x97\xA5 \xE6\x9C\xAC"}}));

TEST(Trim, LineEndingInCrLfSplitsLikeOneEndingInLf) {
    std::string crlf = "click 1,2 left\r";
    std::string lf = "click 1,2 left";
    Trim(crlf);
    Trim(lf);
    EXPECT_EQ(SplitArgs(crlf), SplitArgs(lf));
}

}  // namespace

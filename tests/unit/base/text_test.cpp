#include "base/text.h"
#include "base/error_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(Trim, StripsTheFourWhitespaceBytesFromBothEndsOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"   \t\r", ""},
        {"a\tb", "a\tb"},
        {"  help\r\n", "help"},
        {"\n x y \r", "x y"},
        {"\v x \f", "\v x \f"},  // only space, tab, CR and LF count
        {"", ""},
        {"x", "x"},
    };
    for (const auto& [input, expected] : cases) {
        std::string s = input;
        Trim(s);
        EXPECT_EQ(s, expected) << "input [" << input << "]";
    }
}

TEST(ToLower, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(ToLower("CLICK"), "click");
    EXPECT_EQ(ToLower("Click"), "click");
    EXPECT_EQ(ToLower("@[`{AZaz09"), "@[`{azaz09");  // both ends of A..Z, and their neighbours
    EXPECT_EQ(ToLower("\xC3\x89\xC0\xFF"), "\xC3\x89\xC0\xFF");
    EXPECT_EQ(ToLower(std::string("A\0B", 3)), std::string("a\0b", 3));
}

TEST(LastErrorText, IsTheUnsignedDecimalCode) {
    EXPECT_EQ(LastErrorText(5), "5");
    EXPECT_EQ(LastErrorText(0), "0");
    EXPECT_EQ(LastErrorText(4294967295u), "4294967295");
}

}  // namespace

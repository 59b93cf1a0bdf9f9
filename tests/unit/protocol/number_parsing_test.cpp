#include "protocol/number_parsing.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

template <typename Exception, typename F>
std::string ThrownText(F f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST(ParseDecimal, ReadsSignAndDigitsAndIgnoresTheRest) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"0", 0},
        {"200", 200},
        {"-5", -5},
        {"+7", 7},
        {" \t\n\v\f\r42", 42},
        {"1.5", 1},
        {"10,20", 10},
        {"12abc", 12},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {" 20", 20},
        {"0x10", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseDecimal(text), value) << text;
}

TEST(ParseDecimal, ThrowsTheStandardTexts) {
    for (const std::string text : {"", "abc", "-", "+-1", " - 1", "up", ".5"}) {
        EXPECT_EQ(ThrownText<std::invalid_argument>([&] { ParseDecimal(text); }), "invalid stoi argument") << text;
    }
    for (const std::string text : {"2147483648", "-2147483649", "3000000000", "99999999999999999999999999"}) {
        EXPECT_EQ(ThrownText<std::out_of_range>([&] { ParseDecimal(text); }), "stoi argument out of range") << text;
    }
}

TEST(ParseHandle, ChoosesTheBaseFromThePrefix) {
    const std::pair<std::string, std::uint64_t> cases[] = {
        {"0xa0b2c", 658220},
        {"0xA0B2C", 658220},
        {"0x00a0b2c", 658220},
        {"0Xa0b2c", 658220},
        {"658220", 658220},
        {"012", 10},
        {"0", 0},
        {"09", 0},  // octal stops at the 9
        {"0x", 0},  // no hexadecimal digit: the 0 alone
        {"0xg", 0},
        {"  +0x10", 16},
        {"18446744073709551615", 18446744073709551615ULL},
        {"0xffffffffffffffff", 18446744073709551615ULL},
        {"-1", 18446744073709551615ULL},
        {"0x1a2bzz", 0x1a2b},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseHandle(text), value) << text;
}

TEST(ParseHandle, ThrowsTheStandardTexts) {
    for (const std::string text : {"", "zz", "-", "x10"}) {
        EXPECT_EQ(ThrownText<std::invalid_argument>([&] { ParseHandle(text); }), "invalid stoull argument") << text;
    }
    for (const std::string text : {"18446744073709551616", "0x10000000000000000", "99999999999999999999999"}) {
        EXPECT_EQ(ThrownText<std::out_of_range>([&] { ParseHandle(text); }), "stoull argument out of range") << text;
    }
}

TEST(ReadCoords, SplitsAtTheFirstComma) {
    const auto at = [](const std::string& text) {
        const auto c = ReadCoords(text);
        return c ? std::to_string(c->x) + "/" + std::to_string(c->y) : std::string("none");
    };
    EXPECT_EQ(at("100,200"), "100/200");
    EXPECT_EQ(at("10,20,30"), "10/20");
    EXPECT_EQ(at("1.5,2.5"), "1/2");
    EXPECT_EQ(at(" 10, 20"), "10/20");
    EXPECT_EQ(at("-1280,-5"), "-1280/-5");
    EXPECT_EQ(at("10"), "none");
    EXPECT_EQ(ThrownText<std::invalid_argument>([] { ReadCoords("10,"); }), "invalid stoi argument");
    EXPECT_EQ(ThrownText<std::invalid_argument>([] { ReadCoords(",5"); }), "invalid stoi argument");
}

}  // namespace

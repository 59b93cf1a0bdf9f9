#include "daemon/json_text.h"
#include "daemon/response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    AppendJsonText(out, text);
    return out;
}

TEST(EnvelopeLine, HasTheThreeShapesByteForByte) {
    std::ostringstream out;
    RespondOk(out);
    RespondOk(out, 2);
    RespondError(out, "Invalid HWND");
    RespondOk(out, 4294967295u);
    WriteResponse(out, "error", "", 0);
    EXPECT_EQ(out.str(),
              "{\"status\":\"ok\"}\n"
              "{\"status\":\"ok\",\"data\":2}\n"
              "{\"status\":\"error\",\"message\":\"Invalid HWND\"}\n"
              "{\"status\":\"ok\",\"data\":4294967295}\n"
              "{\"status\":\"error\"}\n");
}

TEST(EnvelopeLine, AnswersAnActionByItsOutcome) {
    std::ostringstream out;
    RespondAction(out, Succeeded(2));
    RespondAction(out, Succeeded(0));
    RespondAction(out, Failed("Click failed: 5", 1));
    EXPECT_EQ(out.str(),
              "{\"status\":\"ok\",\"data\":2}\n"
              "{\"status\":\"ok\"}\n"
              "{\"status\":\"error\",\"message\":\"Click failed: 5\"}\n");
}

TEST(EnvelopeLine, EscapesClientTextSoTheLineStaysJson) {
    std::ostringstream out;
    RespondError(out, "Window not found: C:\\temp");
    EXPECT_EQ(out.str(), "{\"status\":\"error\",\"message\":\"Window not found: C:\\\\temp\"}\n");
}

TEST(EnvelopeLine, WritesAMessageGivenInPiecesAsTheJoinedMessage) {
    const std::string word = "C:\\x \"q\" \xe6\x97\xa5\xff";
    std::ostringstream pieces;
    std::ostringstream joined;
    RespondError(pieces, {"Unknown command: ", word, ". Type 'help' for usage."});
    RespondError(joined, "Unknown command: " + word + ". Type 'help' for usage.");
    EXPECT_EQ(pieces.str(), joined.str());
    EXPECT_EQ(pieces.str(),
              "{\"status\":\"error\",\"message\":\"Unknown command: C:\\\\x \\\"q\\\" \xe6\x97\xa5\\ufffd. "
              "Type 'help' for usage.\"}\n");

    std::ostringstream empty;
    RespondError(empty, {"", ""});
    EXPECT_EQ(empty.str(), "{\"status\":\"error\"}\n");
}

TEST(JsonText, EscapesQuotesBackslashesAndControlBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain text, 100% ASCII", "plain text, 100% ASCII"},
        {"\"", "\\\""},
        {"\\", "\\\\"},
        {"\\\"}", "\\\\\\\"}"},
        {"\b\f\n\r\t", "\\b\\f\\n\\r\\t"},
        {std::string("\0", 1), "\\u0000"},
        {"\x01\x1f", "\\u0001\\u001f"},
        {"\x7f", "\x7f"},
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(Escaped(input), expected);
}

TEST(JsonText, KeepsValidUtf8AndReplacesEveryStrayByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},              // U+1F600
        {"\xEF\xBF\xBF", "\xEF\xBF\xBF"},                      // U+FFFF
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},              // U+10FFFF
        {"caf\xE9", "caf\\ufffd"},                             // Latin-1, not UTF-8
        {"\x80", "\\ufffd"},                                   // stray continuation byte
        {"\xC0\xAF", "\\ufffd\\ufffd"},                        // overlong
        {"\xE0\x80\xAF", "\\ufffd\\ufffd\\ufffd"},             // overlong
        {"\xED\xA0\x80", "\\ufffd\\ufffd\\ufffd"},             // surrogate
        {"\xF4\x90\x80\x80", "\\ufffd\\ufffd\\ufffd\\ufffd"},  // beyond U+10FFFF
        {"\xE6\x97", "\\ufffd\\ufffd"},                        // cut short at the end
        {"\xE6\x97x", "\\ufffd\\ufffdx"},                      // cut short inside
        {"\xFF\xFE", "\\ufffd\\ufffd"},
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(Escaped(input), expected) << "input " << input;
}

TEST(EnvelopeLine, HostileMessageCannotCloseTheStringEarly) {
    std::ostringstream out;
    RespondError(out, "Unknown command: x\",\"status\":\"ok. Type 'help' for usage.");
    EXPECT_EQ(out.str(),
              "{\"status\":\"error\",\"message\":\"Unknown command: x\\\",\\\"status\\\":\\\"ok. Type 'help' for "
              "usage.\"}\n");
}

TEST(DirectLines, WriteTheirNumbersPlainAndTheHandleInLowerHex) {
    std::ostringstream out;
    WriteHandleLine(out, 0x1A2B);
    WriteHandleLine(out, 0x10010);
    WriteHandleLine(out, 0xABC);
    WritePositionLine(out, -5, 1079);
    WriteBoundsLine(out, -1920, 0, 1920, 1080);
    WriteVersionLine(out);
    // The hexadecimal switch ends with the handle.
    out << 255;
    EXPECT_EQ(out.str(),
              "{\"status\":\"ok\",\"hwnd\":\"0x1a2b\"}\n"
              "{\"status\":\"ok\",\"hwnd\":\"0x10010\"}\n"
              "{\"status\":\"ok\",\"hwnd\":\"0xabc\"}\n"
              "{\"status\":\"ok\",\"x\":-5,\"y\":1079}\n"
              "{\"status\":\"ok\",\"left\":-1920,\"top\":0,\"right\":1920,\"bottom\":1080}\n"
              "{\"version\":\"1.0.0\"}\n"
              "255");
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

#include "protocol/envelope.h"
#include "protocol/json_line.h"
#include "protocol/json_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    WriteJsonText([&out](std::string_view piece) { out += piece; }, text);
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

TEST(JsonLine, WritesNumbersPlainHandlesInLowerHexAndStringsEscaped) {
    std::ostringstream out;
    out << std::hex;  // the stream's own state plays no part
    JsonLine(out).Raw("{\"hwnd\":\"").Handle(0x1A2B).Raw("\"}\n");
    JsonLine(out).Raw("[").Handle(0x10010).Raw(",").Handle(0).Raw(",").Handle(UINT64_MAX).Raw("]\n");
    JsonLine(out).Number(-5).Raw(",").Number(1079).Raw(",").Number(INT32_MIN).Raw(",").Number(4294967295u).Raw("\n");
    JsonLine(out).Bool(true).Raw(",").Bool(false).Raw(",").String("a\"b\\c\n\xff").Raw("\n");
    EXPECT_EQ(out.str(),
              "{\"hwnd\":\"0x1a2b\"}\n"
              "[0x10010,0x0,0xffffffffffffffff]\n"
              "-5,1079,-2147483648,4294967295\n"
              "true,false,\"a\\\"b\\\\c\\n\\ufffd\"\n");
}

TEST(JsonLine, ALineLongerThanItsRoomArrivesWholeAndInOrder) {
    // Pieces small and large, around the builder's room, escaped and not: the bytes are those
    // of the pieces joined.
    std::string expected;
    std::ostringstream out;
    {
        JsonLine line(out);
        for (const std::size_t size : {3u, 250u, 7u, 256u, 1u, 4000u, 255u, 0u, 100000u}) {
            const std::string piece(size, static_cast<char>('a' + size % 26));
            line.Raw(piece);
            expected += piece;
            line.Escaped("\"");
            expected += "\\\"";
        }
        line.Raw("\n");
        expected += "\n";
    }
    EXPECT_EQ(out.str(), expected);
}

TEST(JsonLine, FlushesTheLineAtItsEnd) {
    // A stream buffer that counts its syncs.
    struct Counting : std::stringbuf {
        int syncs = 0;
        int sync() override {
            ++syncs;
            return std::stringbuf::sync();
        }
    } counting;
    std::ostream out(&counting);
    { JsonLine(out).Raw("{}\n"); }
    EXPECT_EQ(counting.syncs, 1);
    EXPECT_EQ(counting.str(), "{}\n");
}

TEST(ErrorLine, PutsTheMessageTogetherAsOnePieceWouldBe) {
    std::ostringstream built;
    ErrorLine(built).TimedOut(2000).Handle(0x1a2b).Text(" to be ").Text("minimized");
    ErrorLine(built).Text("Failed to activate ").Handle(0xabc).Text(": ").Handle(0x10).Text(" (C:\\x \"q\") is still in front");
    std::ostringstream joined;
    RespondError(joined, "Timed out after 2000 ms waiting for 0x1a2b to be minimized");
    RespondError(joined, "Failed to activate 0xabc: 0x10 (C:\\x \"q\") is still in front");
    EXPECT_EQ(built.str(), joined.str());
}

TEST(EnvelopeLine, RectangleAnswer) {
    std::ostringstream out;
    RespondRect(out, Rect{-1920, 0, 1920, 1080});
    EXPECT_EQ(out.str(), "{\"status\":\"ok\",\"left\":-1920,\"top\":0,\"right\":1920,\"bottom\":1080}\n");
}

}  // namespace

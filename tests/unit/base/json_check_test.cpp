// The test oracle itself: the checks that stand for "every answer is valid JSON" must reject
// what a client's decoder rejects.
#include "support/json_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Quoted(const std::string& inside) { return "{\"m\":\"" + inside + "\"}"; }

TEST(JsonCheck, AcceptsObjectsWithEveryWellFormedString) {
    for (const std::string inside : {"", "plain", "\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9", "\xC2\xA0", "\xEF\xBF\xBF",
                                     "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF"}) {
        EXPECT_TRUE(json_check::IsJsonObject(Quoted(inside))) << inside;
    }
    EXPECT_TRUE(json_check::IsJsonObject("{\"a\":[1,-2,3.5e+2,true,false,null,{}],\"b\":{\"c\":\"d\"}}"));
}

TEST(JsonCheck, RejectsMalformedUtf8AndEscapes) {
    for (const std::string inside :
         {"\xF5\x80\x80\x80", "\xF7\xBF\xBF\xBF", "\xF4\x90\x80\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF",
          "\xED\xA0\x80", "\x80", "\xFF", "\xE6\x97", "\x01", "\\x", "\\u12G4", "\\u12"}) {
        EXPECT_FALSE(json_check::IsJsonObject(Quoted(inside))) << inside;
    }
    EXPECT_FALSE(json_check::IsJsonObject("{\"a\":1} x"));
    EXPECT_FALSE(json_check::IsJsonObject("[1]"));
    EXPECT_FALSE(json_check::IsJsonObject("{\"a\":01}"));
}

}  // namespace

#include "protocol/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Encoded(const std::string& bytes) {
    std::string out = "stale storage";
    AssignBase64(out, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return out;
}

TEST(Base64, TheRfc4648VectorsAndEveryByteValue) {
    EXPECT_EQ(Encoded(""), "");
    EXPECT_EQ(Encoded("f"), "Zg==");
    EXPECT_EQ(Encoded("fo"), "Zm8=");
    EXPECT_EQ(Encoded("foo"), "Zm9v");
    EXPECT_EQ(Encoded("foob"), "Zm9vYg==");
    EXPECT_EQ(Encoded("fooba"), "Zm9vYmE=");
    EXPECT_EQ(Encoded("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Encoded(std::string("\x00\xFF\xFE\x3E\x3F", 5)), "AP/+Pj8=");
    EXPECT_EQ(Encoded(std::string("\xFB\xEF\xBE", 3)), "++++");
    EXPECT_EQ(Encoded(std::string("\xFF\xFF\xFF", 3)), "////");
    EXPECT_EQ(Base64Length(0), 0u);
    EXPECT_EQ(Base64Length(4), 8u);
}

}  // namespace

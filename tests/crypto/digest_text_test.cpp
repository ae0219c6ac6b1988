#include "crypto/digest_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvarinth {
namespace {

bool IsLowercaseHexOf32(const std::string& text) {
    if (text.size() != 32) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

TEST(DigestText, ZeroBytesEmptyAndAbsentTextAgree) {
    const char* kEmpty = "d41d8cd98f00b204e9800998ecf8427e";
    EXPECT_EQ(DigestText(std::string_view()), kEmpty);
    EXPECT_EQ(DigestText(""), kEmpty);
    EXPECT_EQ(DigestText(std::string()), kEmpty);
}

TEST(DigestText, KeepsLeadingZerosOfEveryByte) {
    // The empty message's digest holds the bytes 0x00, 0x04, 0x09 and 0x08.
    const std::string text = DigestText("");
    EXPECT_EQ(text.substr(10, 6), "00b204");
    EXPECT_EQ(text.substr(18, 6), "800998");
}

TEST(DigestText, AlwaysThirtyTwoLowercaseHexCharacters) {
    std::string message;
    for (int length = 0; length <= 200; ++length) {
        const std::string text = DigestText(message);
        EXPECT_TRUE(IsLowercaseHexOf32(text)) << length << ": " << text;
        message += static_cast<char>(0x80 + length % 0x80);
    }
}

TEST(DigestText, MatchesMd5OfTheBytes) {
    // printf 'message digest' | md5sum
    EXPECT_EQ(DigestText("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    // Letter case is part of the bytes: printf password | md5sum, printf Password | md5sum
    EXPECT_EQ(DigestText("password"), "5f4dcc3b5aa765d61d8327deb882cf99");
    EXPECT_EQ(DigestText("Password"), "dc647eb65e6711e155375218212b3964");
}

TEST(DigestText, DigestsCodePage936BytesAsTheyAre) {
    // Sources are compiled with a CP936 execution character set.
    // printf '中文密码' | iconv -f UTF-8 -t CP936 | md5sum
    EXPECT_EQ(DigestText("中文密码"), "cab54837b8cb3345b7d7bd03e904d1c8");
    // The same characters in UTF-8 are other bytes: printf '中文密码' | md5sum
    EXPECT_EQ(DigestText("\xe4\xb8\xad\xe6\x96\x87\xe5\xaf\x86\xe7\xa0\x81"),
              "3d4acf94adca8562b4990599b15488de");
}

}  // namespace
}  // namespace tolvarinth

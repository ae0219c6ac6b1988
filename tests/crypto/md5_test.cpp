#include "crypto/md5.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/crypto/hex_bytes.h"

namespace tolvarinth {
namespace {

using testing::ToHex;

struct Md5Case {
    std::string message;
    const char* digest;
};

// RFC 1321 appendix A.5 test suite.
const Md5Case kRfc1321Suite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
     "0",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

// Messages of n bytes 'a' around the padding boundaries (the length field fits in the last block
// only up to 55 bytes). Expected values from GNU coreutils:
//   head -c N /dev/zero | tr '\0' a | md5sum
const Md5Case kPaddingBoundaries[] = {
    {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
    {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
    {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
    {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
    {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
    {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
    {std::string(128, 'a'), "e510683b3f5ffe4093d021808bc6ff70"},
};

class Md5Test : public ::testing::TestWithParam<Md5Case> {};

TEST_P(Md5Test, WholeMessage) {
    EXPECT_EQ(ToHex(Md5Of(GetParam().message)), GetParam().digest);
}

TEST_P(Md5Test, ByteByByte) {
    Md5 md5;
    for (char c : GetParam().message) md5.Update(std::string_view(&c, 1));
    EXPECT_EQ(ToHex(md5.Final()), GetParam().digest);
}

TEST_P(Md5Test, SplitAtEveryPoint) {
    const std::string& message = GetParam().message;
    for (std::size_t split = 0; split <= message.size(); ++split) {
        Md5 md5;
        md5.Update(std::string_view(message).substr(0, split));
        md5.Update(std::string_view(message).substr(split));
        EXPECT_EQ(ToHex(md5.Final()), GetParam().digest) << "split at " << split;
    }
}

INSTANTIATE_TEST_SUITE_P(Rfc1321, Md5Test, ::testing::ValuesIn(kRfc1321Suite));
INSTANTIATE_TEST_SUITE_P(PaddingBoundaries, Md5Test, ::testing::ValuesIn(kPaddingBoundaries));

TEST(Md5, FinalStartsANewMessage) {
    Md5 md5;
    md5.Update("abc");
    EXPECT_EQ(ToHex(md5.Final()), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(ToHex(md5.Final()), "d41d8cd98f00b204e9800998ecf8427e");
    md5.Update("a");
    EXPECT_EQ(ToHex(md5.Final()), "0cc175b9c0f1b6a831c399e269772661");
}

TEST(Md5, AllByteValuesAreDigestedAsTheyAre) {
    // python3 -c "import sys; sys.stdout.buffer.write(bytes(range(256)))" | md5sum
    std::string bytes;
    for (int k = 0; k < 256; ++k) bytes += static_cast<char>(k);
    EXPECT_EQ(ToHex(Md5Of(bytes)), "e2c865db4162bed963bfaa9ef6ac18f0");
}

}  // namespace
}  // namespace tolvarinth

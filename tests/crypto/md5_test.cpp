#include "crypto/md5.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

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

// Both tables, each message fed whole, byte by byte and in two pieces split at every point.
std::vector<Md5Case> AllCases() {
    std::vector<Md5Case> cases(std::begin(kRfc1321Suite), std::end(kRfc1321Suite));
    cases.insert(cases.end(), std::begin(kPaddingBoundaries), std::end(kPaddingBoundaries));
    return cases;
}

TEST(Md5, WholeMessage) {
    for (const Md5Case& c : AllCases()) {
        EXPECT_EQ(ToHex(Md5Of(c.message)), c.digest) << c.message.size() << " bytes";
    }
}

TEST(Md5, ByteByByte) {
    for (const Md5Case& c : AllCases()) {
        Md5 md5;
        for (char byte : c.message) md5.Update(std::string_view(&byte, 1));
        EXPECT_EQ(ToHex(md5.Final()), c.digest) << c.message.size() << " bytes";
    }
}

TEST(Md5, SplitAtEveryPoint) {
    for (const Md5Case& c : AllCases()) {
        const std::string_view message = c.message;
        for (std::size_t split = 0; split <= message.size(); ++split) {
            Md5 md5;
            md5.Update(message.substr(0, split));
            md5.Update(message.substr(split));
            EXPECT_EQ(ToHex(md5.Final()), c.digest)
                << c.message.size() << " bytes split at " << split;
        }
    }
}

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

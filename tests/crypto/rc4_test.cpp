#include "crypto/rc4.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/crypto/hex_bytes.h"

namespace tolvarinth {
namespace {

using testing::FromHex;
using testing::ToHex;

struct KeystreamVector {
    const char* key;
    std::size_t offset;
    const char* output;  // 16 keystream bytes from the offset
};

// RFC 6229 section 2: keystream of the 40-bit key 0x0102030405 at every listed offset, and the
// first and last offsets of the 128-bit and 256-bit keys. (The 40-bit rows were also checked with
// `head -c 4112 /dev/zero | openssl enc -rc4-40 -K 0102030405 -provider legacy | xxd`.)
const KeystreamVector kRfc6229[] = {
    {"0102030405", 0, "b2 39 63 05 f0 3d c0 27 cc c3 52 4a 0a 11 18 a8"},
    {"0102030405", 16, "69 82 94 4f 18 fc 82 d5 89 c4 03 a4 7a 0d 09 19"},
    {"0102030405", 240, "28 cb 11 32 c9 6c e2 86 42 1d ca ad b8 b6 9e ae"},
    {"0102030405", 256, "1c fc f6 2b 03 ed db 64 1d 77 df cf 7f 8d 8c 93"},
    {"0102030405", 496, "42 b7 d0 cd d9 18 a8 a3 3d d5 17 81 c8 1f 40 41"},
    {"0102030405", 512, "64 59 84 44 32 a7 da 92 3c fb 3e b4 98 06 61 f6"},
    {"0102030405", 752, "ec 10 32 7b de 2b ee fd 18 f9 27 76 80 45 7e 22"},
    {"0102030405", 768, "eb 62 63 8d 4f 0b a1 fe 9f ca 20 e0 5b f8 ff 2b"},
    {"0102030405", 1008, "45 12 90 48 e6 a0 ed 0b 56 b4 90 33 8f 07 8d a5"},
    {"0102030405", 1024, "30 ab bc c7 c2 0b 01 60 9f 23 ee 2d 5f 6b b7 df"},
    {"0102030405", 1520, "32 94 f7 44 d8 f9 79 05 07 e7 0f 62 e5 bb ce ea"},
    {"0102030405", 1536, "d8 72 9d b4 18 82 25 9b ee 4f 82 53 25 f5 a1 30"},
    {"0102030405", 2032, "1e b1 4a 0c 13 b3 bf 47 fa 2a 0b a9 3a d4 5b 8b"},
    {"0102030405", 2048, "cc 58 2f 8b a9 f2 65 e2 b1 be 91 12 e9 75 d2 d7"},
    {"0102030405", 3056, "f2 e3 0f 9b d1 02 ec bf 75 aa ad e9 bc 35 c4 3c"},
    {"0102030405", 3072, "ec 0e 11 c4 79 dc 32 9d c8 da 79 68 fe 96 56 81"},
    {"0102030405", 4080, "06 83 26 a2 11 84 16 d2 1f 9d 04 b2 cd 1c a0 50"},
    {"0102030405", 4096, "ff 25 b5 89 95 99 67 07 e5 1f bd f0 8b 34 d8 75"},
    {"0102030405060708090a0b0c0d0e0f10", 0, "9a c7 cc 9a 60 9d 1e f7 b2 93 28 99 cd e4 1b 97"},
    {"0102030405060708090a0b0c0d0e0f10", 4096, "a3 6a 4c 30 1a e8 ac 13 61 0c cb c1 22 56 ca cc"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 0,
     "ea a6 bd 25 88 0b f9 3d 3f 5d 1e 4c a2 61 1d 91"},
    {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 4096,
     "f3 e4 c0 a2 e0 2d 1d 01 f7 f0 a7 46 18 af 2b 48"},
};

CipherState ScheduleHex(const char* keyHex) {
    const std::vector<std::uint8_t> key = FromHex(keyHex);
    return KeySchedule(key.data(), key.size());
}

TEST(Rc4, SkipThenXorGivesTheKeystream) {
    for (const KeystreamVector& v : kRfc6229) {
        CipherState state = ScheduleHex(v.key);
        SkipKeystream(state, v.offset);
        std::vector<std::uint8_t> bytes(16, 0);
        XorKeystream(state, bytes.data(), bytes.size());
        EXPECT_EQ(ToHex(bytes), ToHex(FromHex(v.output))) << v.key << " at " << v.offset;
    }
}

TEST(Rc4, OneLongRunAndSingleBytesAgree) {
    for (const KeystreamVector& v : kRfc6229) {
        const std::size_t end = v.offset + 16;
        CipherState whole = ScheduleHex(v.key);
        std::vector<std::uint8_t> run(end, 0);
        XorKeystream(whole, run.data(), run.size());

        CipherState stepwise = ScheduleHex(v.key);
        std::vector<std::uint8_t> single(end, 0);
        for (std::size_t k = 0; k < end; ++k) XorKeystream(stepwise, &single[k], 1);

        const std::string expected = ToHex(FromHex(v.output));
        EXPECT_EQ(ToHex(run.data() + v.offset, 16), expected) << v.key << " at " << v.offset;
        EXPECT_EQ(ToHex(single.data() + v.offset, 16), expected) << v.key << " at " << v.offset;
    }
}

TEST(Rc4, KeyScheduleGivesAPermutationWithIndicesAtZero) {
    const CipherState state = ScheduleHex("0102030405");
    EXPECT_EQ(state.i, 0);
    EXPECT_EQ(state.j, 0);
    std::vector<int> seen(256, 0);
    for (std::uint8_t value : state.s) ++seen[value];
    EXPECT_EQ(seen, std::vector<int>(256, 1));
}

TEST(Rc4, KeyBytesAreTakenCyclically) {
    // A key repeated to 256 bytes schedules the same state; bytes past the 256th have no effect.
    const std::string key = "pass";
    std::string repeated;
    while (repeated.size() < 256) repeated += key;
    repeated.resize(256);
    std::string longer = repeated + "ignored tail";

    auto schedule = [](const std::string& k) {
        return KeySchedule(reinterpret_cast<const std::uint8_t*>(k.data()), k.size()).s;
    };
    EXPECT_EQ(schedule(key), schedule(repeated));
    EXPECT_EQ(schedule(repeated), schedule(longer));
    EXPECT_NE(schedule(key), schedule("pasS"));
}

TEST(Rc4, XorKeystreamCombinesWithTheBytesAndUndoesItself) {
    std::vector<std::uint8_t> text(300);
    for (std::size_t k = 0; k < text.size(); ++k) text[k] = static_cast<std::uint8_t>(k * 7 + 3);

    CipherState keystreamState = ScheduleHex("0102030405");
    std::vector<std::uint8_t> keystream(text.size(), 0);
    XorKeystream(keystreamState, keystream.data(), keystream.size());

    CipherState encipher = ScheduleHex("0102030405");
    std::vector<std::uint8_t> bytes = text;
    XorKeystream(encipher, bytes.data(), bytes.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        ASSERT_EQ(bytes[k], text[k] ^ keystream[k]) << k;
    }

    CipherState decipher = ScheduleHex("0102030405");
    XorKeystream(decipher, bytes.data(), bytes.size());
    EXPECT_EQ(bytes, text);
}

}  // namespace
}  // namespace tolvarinth

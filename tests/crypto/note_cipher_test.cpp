#include "crypto/note_cipher.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <map>
#include <string>
#include <vector>

#include "crypto/digest_text.h"

namespace tolvarinth {
namespace {

constexpr std::int32_t kNotePrefix = 100;
constexpr std::int64_t kBlock = 4096;

using Bytes = std::vector<std::uint8_t>;

// ---- The keystream written straight from its definition, one position at a time. ----

const std::uint8_t* Raw(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

// The MD5 digest bytes in reverse order, each as two lowercase hex characters.
std::string ReferenceKeyText(std::string_view password) {
    const std::string digest = DigestText(password);
    std::string keyText;
    for (int k = 15; k >= 0; --k) keyText += digest.substr(2 * k, 2);
    return keyText;
}

// BlockWord (bytes 4b..4b+3 of the password-keyed keystream), KeyText, (word LE xor b) LE.
std::array<std::uint8_t, 40> ReferenceBlockKey(std::string_view password, std::int64_t block) {
    CipherState base = KeySchedule(Raw(password), password.size());
    Bytes stream(static_cast<std::size_t>(4 * block + 4), 0);
    XorKeystream(base, stream.data(), stream.size());
    const std::uint8_t* word = stream.data() + 4 * block;

    std::array<std::uint8_t, 40> key{};
    std::copy(word, word + 4, key.begin());
    const std::string keyText = ReferenceKeyText(password);
    std::copy(keyText.begin(), keyText.end(), key.begin() + 4);
    const std::uint32_t value = (word[0] | word[1] << 8 | word[2] << 16 |
                                 static_cast<std::uint32_t>(word[3]) << 24) ^
                                static_cast<std::uint32_t>(block);
    for (int k = 0; k < 4; ++k) key[36 + k] = static_cast<std::uint8_t>(value >> (8 * k));
    return key;
}

// Key schedule over the block key, discard 36 + offset output bytes, take the next one.
std::uint8_t ReferenceKeystreamByte(std::string_view password, std::int64_t position) {
    const auto key = ReferenceBlockKey(password, position / kBlock);
    CipherState state = KeySchedule(key.data(), key.size());
    SkipKeystream(state, static_cast<std::size_t>(36 + position % kBlock));
    std::uint8_t byte = 0;
    XorKeystream(state, &byte, 1);
    return byte;
}

// ---- Helpers ----

std::string PasswordOf(std::size_t length) {
    std::string password;
    for (std::size_t k = 0; k < length; ++k) {
        password += static_cast<char>(k % 2 ? 0x80 + k % 0x7f : 'A' + k % 26);
    }
    return password;
}

Bytes Pattern(std::size_t n, unsigned seed = 1) {
    Bytes bytes(n);
    std::uint32_t x = seed * 2654435761u + 12345;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return bytes;
}

Bytes Transformed(std::string_view password, std::int32_t prefix, std::int32_t position,
                  Bytes bytes) {
    Transform(BaseState(password), KeyText(password), prefix, position, bytes.data(),
              bytes.size());
    return bytes;
}

// ---- Key material ----

TEST(NoteCipherKeys, KeyTextIsTheDigestBytesReversed) {
    struct Case { const char* password; const char* keyText; };
    // python3: hashlib.md5(p).digest()[::-1].hex()
    const Case cases[] = {
        {"abc", "727fe1287d3f96d6b04fd23c98500190"},
        {"password", "99cf82b8de27831dd665a75a3bcc4d5f"},
        {"x", "a6675c154e56c8f534808c2661e4d49d"},
    };
    for (const Case& c : cases) {
        const KeyTextBytes keyText = KeyText(c.password);
        EXPECT_EQ(std::string(keyText.begin(), keyText.end()), c.keyText) << c.password;
        EXPECT_EQ(ReferenceKeyText(c.password), c.keyText) << c.password;
    }
}

TEST(NoteCipherKeys, BaseStateIsTheKeyScheduleOverThePasswordBytes) {
    for (const std::string& password : {std::string("x"), PasswordOf(256), PasswordOf(300)}) {
        const CipherState base = BaseState(password);
        const CipherState expected = KeySchedule(Raw(password), password.size());
        EXPECT_EQ(base.s, expected.s);
        EXPECT_EQ(base.i, 0);
        EXPECT_EQ(base.j, 0);
    }
}

TEST(NoteCipherKeys, FirstEncipheredByteOfANoteIsOutputByte136OfBlockZero) {
    const std::string password = "note password";
    const auto key = ReferenceBlockKey(password, 0);
    CipherState state = KeySchedule(key.data(), key.size());
    SkipKeystream(state, 136);
    std::uint8_t expected = 0;
    XorKeystream(state, &expected, 1);

    EXPECT_EQ(Transformed(password, kNotePrefix, 100, Bytes{0}), Bytes{expected});
}

// ---- Transform against the per-position definition ----

struct Span {
    std::int32_t position;
    std::size_t n;
};

// Runs crossing the prefix, starting at block offsets 0, 1 and 4095, ending on a block boundary
// and spanning three or more blocks.
const Span kSpans[] = {
    {0, 300},     {99, 2},       {100, 1},          {1, 4095},     {4095, 1},
    {4095, 2},    {4096, 4096},  {8193, 8191},      {50, 16000},   {4095, 3 * 4096 + 2},
};
constexpr std::int64_t kReferenceEnd = 4 * kBlock + 8;  // past the end of every run above

class TransformTest : public ::testing::TestWithParam<std::size_t> {
protected:
    std::string Password() const { return PasswordOf(GetParam()); }

    // The reference keystream for positions 0 .. kReferenceEnd - 1, computed once per password.
    const Bytes& Reference() const {
        static std::map<std::size_t, Bytes> cache;
        Bytes& stream = cache[GetParam()];
        if (stream.empty()) {
            const std::string password = Password();
            for (std::int64_t p = 0; p < kReferenceEnd; ++p) {
                stream.push_back(ReferenceKeystreamByte(password, p));
            }
        }
        return stream;
    }
};

TEST_P(TransformTest, AgreesWithTheDefinitionAtEveryPosition) {
    const Bytes& keystream = Reference();
    for (const Span& run : kSpans) {
        const Bytes clear = Pattern(run.n, run.position);
        const Bytes enciphered = Transformed(Password(), kNotePrefix, run.position, clear);
        ASSERT_EQ(enciphered.size(), clear.size());
        for (std::size_t k = 0; k < run.n; ++k) {
            const std::int64_t p = run.position + static_cast<std::int64_t>(k);
            const std::uint8_t expected = p < kNotePrefix ? clear[k] : clear[k] ^ keystream[p];
            ASSERT_EQ(enciphered[k], expected) << "run at " << run.position << ", position " << p;
        }
        EXPECT_EQ(Transformed(Password(), kNotePrefix, run.position, enciphered), clear)
            << "applying twice restores, run at " << run.position;
    }
}

TEST_P(TransformTest, SplitAtAnyPointEqualsOneCall) {
    // Crosses the prefix and the first block boundary.
    const std::int32_t start = 50;
    const Bytes clear = Pattern(4200);
    const Bytes whole = Transformed(Password(), kNotePrefix, start, clear);
    const CipherState base = BaseState(Password());
    const KeyTextBytes keyText = KeyText(Password());
    for (std::size_t split = 0; split <= clear.size(); ++split) {
        Bytes bytes = clear;
        Transform(base, keyText, kNotePrefix, start, bytes.data(), split);
        Transform(base, keyText, kNotePrefix, start + static_cast<std::int32_t>(split),
                  bytes.data() + split, bytes.size() - split);
        ASSERT_EQ(bytes, whole) << "split at " << split;
    }
}

// One byte, exactly 256 bytes and more than 256 bytes (the part past 256 only reaches the key
// through the KeyText).
INSTANTIATE_TEST_SUITE_P(PasswordLengths, TransformTest, ::testing::Values(1, 256, 300));

TEST(Transform, RunsBelowThePrefixAndEmptyRunsAreUnchanged) {
    const Bytes clear = Pattern(100);
    const Span untouched[] = {{0, 100}, {0, 1}, {99, 1}, {-40, 140}, {INT32_MIN, 100}, {100, 0}};
    for (const Span& run : untouched) {
        Bytes bytes(clear.begin(), clear.begin() + static_cast<std::ptrdiff_t>(run.n));
        const Bytes before = bytes;
        EXPECT_EQ(Transformed("pw", kNotePrefix, run.position, bytes), before)
            << "run at " << run.position;
    }
    Transform(BaseState("pw"), KeyText("pw"), kNotePrefix, 0, nullptr, 0);
}

TEST(Transform, NegativePrefixCountsAsZero) {
    const Bytes clear = Pattern(64);
    EXPECT_EQ(Transformed("pw", -7, 0, clear), Transformed("pw", 0, 0, clear));
    EXPECT_NE(Transformed("pw", 0, 0, clear), clear);
}

TEST(Transform, HugePositionsAgreeWithTheDefinition) {
    // The last block boundary below 2^31, the last valid position, and a run continuing past it
    // (positions keep counting; they never wrap to negative values that would stay in clear).
    const std::string password = "x";
    const Span runs[] = {{INT32_MAX - 4097, 3}, {INT32_MAX - 1, 2}, {INT32_MAX, 2}};
    for (const Span& run : runs) {
        const Bytes clear = Pattern(run.n);
        const Bytes enciphered = Transformed(password, kNotePrefix, run.position, clear);
        for (std::size_t k = 0; k < run.n; ++k) {
            const std::int64_t p = static_cast<std::int64_t>(run.position) + k;
            EXPECT_EQ(enciphered[k], clear[k] ^ ReferenceKeystreamByte(password, p))
                << "position " << p;
        }
    }
}

TEST(Transform, KeystreamDependsOnPasswordAndPosition) {
    const Bytes zeros(4096, 0);
    auto matches = [](const Bytes& a, const Bytes& b) {
        std::size_t same = 0;
        for (std::size_t k = 0; k < a.size(); ++k) same += a[k] == b[k];
        return same;
    };
    const Bytes base = Transformed("password", kNotePrefix, 100, zeros);
    // About 16 of 4096 bytes agree by chance between unrelated streams.
    EXPECT_LT(matches(base, Transformed("Password", kNotePrefix, 100, zeros)), 64u);
    EXPECT_LT(matches(base, Transformed("passwore", kNotePrefix, 100, zeros)), 64u);
    EXPECT_LT(matches(base, Transformed("password", kNotePrefix, 101, zeros)), 64u);
    // Bytes past the 256th change the key text, and so the stream.
    const std::string longer = PasswordOf(300);
    std::string changedTail = longer;
    changedTail.back() = 'z';
    EXPECT_LT(matches(Transformed(longer, kNotePrefix, 100, zeros),
                      Transformed(changedTail, kNotePrefix, 100, zeros)),
              64u);
}

// ---- Sequential processing ----

struct Chunking {
    std::int32_t start;
    std::vector<std::size_t> chunks;  // sizes used in turn, cycling
};

TEST(NoteCipherStream, EqualsTransformForAnyChunking) {
    const std::string password = "stream password";
    const CipherState base = BaseState(password);
    const KeyTextBytes keyText = KeyText(password);
    const std::size_t length = 3 * 4096 + 123;
    const Chunking chunkings[] = {
        {0, {1}},       {1, {7}},          {99, {4095}},           {101, {4096}},
        {4095, {4097}}, {8193, {3, 1000, 1, 5000}}, {0, {0, 13, 0, 4096}}, {33, {length}},
    };
    for (const Chunking& chunking : chunkings) {
        const Bytes clear = Pattern(length, chunking.start);
        Bytes expected = clear;
        Transform(base, keyText, kNotePrefix, chunking.start, expected.data(), expected.size());

        Bytes bytes = clear;
        NoteCipherStream stream(base, keyText, kNotePrefix, chunking.start);
        std::size_t done = 0;
        for (std::size_t turn = 0; done < length; ++turn) {
            const std::size_t size =
                std::min(chunking.chunks[turn % chunking.chunks.size()], length - done);
            stream.Apply(bytes.data() + done, size);
            done += size;
            ASSERT_EQ(stream.Position(), chunking.start + static_cast<std::int64_t>(done));
        }
        EXPECT_EQ(bytes, expected) << "start " << chunking.start;
    }
}

TEST(NoteCipherStream, StartsAtHugePositions) {
    const std::string password = "x";
    const CipherState base = BaseState(password);
    const KeyTextBytes keyText = KeyText(password);
    Bytes bytes(6, 0);
    NoteCipherStream stream(base, keyText, kNotePrefix, INT32_MAX - 4099);
    stream.Apply(bytes.data(), 2);
    stream.Apply(bytes.data() + 2, 4);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const std::int64_t p = INT32_MAX - 4099 + static_cast<std::int64_t>(k);
        EXPECT_EQ(bytes[k], ReferenceKeystreamByte(password, p)) << "position " << p;
    }
}

}  // namespace
}  // namespace tolvarinth

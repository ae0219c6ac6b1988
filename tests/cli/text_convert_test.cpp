// Streaming conversions between code page 936 and UTF-8, and where a note's text ends. Literals
// for UTF-8 are u8"..."; code page 936 bytes are written as escapes.
#include "cli/text_convert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace etxt {
namespace {

std::string U8(const char* text) { return text; }

struct Pair {
    const char* name;
    std::string utf8;
    std::string codePage;
};

void PrintTo(const Pair& value, std::ostream* out) { *out << value.name; }

class KnownCharacters : public ::testing::TestWithParam<Pair> {};

TEST_P(KnownCharacters, ConvertBothWays) {
    const Pair& pair = GetParam();
    std::string stored;
    ASSERT_TRUE(Utf8TextToCodePage(pair.utf8, stored));
    EXPECT_EQ(stored, pair.codePage);
    EXPECT_EQ(CodePageTextToUtf8(pair.codePage), pair.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, KnownCharacters,
    ::testing::Values(Pair{"Ascii", "abc 123", "abc 123"},
                      Pair{"Chinese", U8(u8"\u4E2D\u6587"), "\xD6\xD0\xCE\xC4"},
                      Pair{"CrLfKept", U8(u8"a\r\nb\nc\r"), "a\r\nb\nc\r"},
                      Pair{"EuroIsOneByte", U8(u8"\u20AC"), "\x80"},
                      Pair{"MiddleDot", U8(u8"\u00B7"), "\xA1\xA4"},
                      Pair{"FullWidthComma", U8(u8"\uFF0C"), "\xA3\xAC"},
                      Pair{"GbkExtensionFirst", U8(u8"\u4E02"), "\x81\x40"},
                      Pair{"GbkExtensionLast", U8(u8"\u9FA5"), "\xFD\x9B"},
                      Pair{"UserDefinedArea", U8(u8"\uE000\uE4C5"), "\xAA\xA1\xFE\xFE"},
                      Pair{"PrivateUseAfterTheSkippedTrail", U8(u8"\uE505\uE815"), "\xA1\x80\xFE\x50"}),
    [](const ::testing::TestParamInfo<Pair>& info) { return info.param.name; });

struct Fault {
    const char* name;
    std::string input;
    ConversionFault fault;
    std::int64_t line;
    std::int64_t column;
    char32_t codePoint;
};

void PrintTo(const Fault& value, std::ostream* out) { *out << value.name; }

class Faults : public ::testing::TestWithParam<Fault> {};

TEST_P(Faults, AreReportedAtTheirPositionWhateverThePieces) {
    const Fault& expected = GetParam();
    // Whole, then cut at every place into two pieces, then in pieces of three bytes.
    std::vector<std::vector<std::string>> cuts{{expected.input}};
    for (std::size_t at = 0; at <= expected.input.size(); ++at) {
        cuts.push_back({expected.input.substr(0, at), expected.input.substr(at)});
    }
    std::vector<std::string> threes;
    for (std::size_t at = 0; at < expected.input.size(); at += 3) threes.push_back(expected.input.substr(at, 3));
    cuts.push_back(threes);

    for (const auto& pieces : cuts) {
        Utf8ToCodePage converter;
        std::string out;
        bool ok = true;
        for (const std::string& piece : pieces) ok = ok && converter.Convert(piece, out);
        ok = ok && converter.Finish(out);
        ASSERT_FALSE(ok);
        EXPECT_EQ(converter.Error().fault, expected.fault);
        EXPECT_EQ(converter.Error().position.line, expected.line);
        EXPECT_EQ(converter.Error().position.column, expected.column);
        EXPECT_EQ(converter.Error().codePoint, expected.codePoint);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Input, Faults,
    ::testing::Values(
        Fault{"Emoji", U8(u8"ab\r\n\u4E2D\u6587\U0001F600"), ConversionFault::NotInCodePage, 2, 3, 0x1F600},
        Fault{"Thai", U8(u8"x\n\ny\u0E01"), ConversionFault::NotInCodePage, 3, 2, 0x0E01},
        Fault{"Substitute", "one\ntw\x1Ao", ConversionFault::TextEndCharacter, 2, 3, 0x1A},
        Fault{"Nul", std::string("a\0b", 3), ConversionFault::TextEndCharacter, 1, 2, 0},
        Fault{"StrayByte", "ok\n\xFF", ConversionFault::InvalidUtf8, 2, 1, 0},
        Fault{"Overlong", "\xC0\x80", ConversionFault::InvalidUtf8, 1, 1, 0},
        Fault{"Surrogate", "a\xED\xA0\x80", ConversionFault::InvalidUtf8, 1, 2, 0},
        Fault{"CutAtTheEnd", "ab\xE4\xB8", ConversionFault::InvalidUtf8, 1, 3, 0}),
    [](const ::testing::TestParamInfo<Fault>& info) { return info.param.name; });

TEST(Utf8ToCodePage, KeepsTextEndCharactersWhenAllowed) {
    std::string out;
    ASSERT_TRUE(Utf8TextToCodePage(std::string("a\x1A\0b", 4), out));
    EXPECT_EQ(out, std::string("a\x1A\0b", 4));
}

TEST(Utf8ToCodePage, DropsAByteOrderMarkOnlyAtTheStart) {
    std::string out;
    ASSERT_TRUE(Utf8TextToCodePage(U8(u8"\uFEFFab"), out));
    EXPECT_EQ(out, "ab");
    EXPECT_FALSE(Utf8TextToCodePage(U8(u8"a\uFEFFb"), out));
}

TEST(CodePageToUtf8, ShowsBytesThatAreNoCharacterAsReplacement) {
    CodePageToUtf8 converter;
    std::string out;
    // A lead byte before a byte that cannot trail it, a byte no character starts with, a lead
    // byte left at the end.
    converter.Convert("a\n\x81" "0x\xFF", out);
    converter.Convert("\xD6", out);
    converter.Finish(out);
    EXPECT_EQ(out, U8(u8"a\n\uFFFD0x\uFFFD\uFFFD"));
    EXPECT_EQ(converter.InvalidCount(), 3);
    EXPECT_EQ(converter.FirstInvalid().line, 2);
    EXPECT_EQ(converter.FirstInvalid().column, 1);
}

// A text mixing one-byte, two-byte and line-end characters, long enough to cut in many places.
std::string MixedCodePageText() {
    const char* pieces[] = {"\xD6\xD0", "a", "\r\n", "\x80", "\xCE\xC4", " ", "\xA1\xA4", "z\n"};
    std::string text;
    unsigned state = 7;
    for (int k = 0; k < 3000; ++k) {
        state = state * 1103515245u + 12345u;
        text += pieces[(state >> 16) % 8];
    }
    return text;
}

TEST(Streaming, PiecesOfAnySizeGiveTheOneShotResultBothWays) {
    const std::string stored = MixedCodePageText();
    const std::string utf8 = CodePageTextToUtf8(stored);
    std::string back;
    ASSERT_TRUE(Utf8TextToCodePage(utf8, back));
    ASSERT_EQ(back, stored);

    for (const std::size_t size : {1u, 2u, 3u, 5u, 7u, 64u, 4097u}) {
        for (const std::size_t offset : {0u, 1u}) {  // the first piece cut short: odd starts
            CodePageToUtf8 decoder;
            std::string decoded;
            Utf8ToCodePage encoder;
            std::string encoded;
            bool ok = true;
            for (std::size_t at = 0; at < stored.size();) {
                const std::size_t n = at == 0 && offset ? 1 : size;
                decoder.Convert(std::string_view(stored).substr(at, n), decoded);
                at += n;
            }
            for (std::size_t at = 0; at < utf8.size();) {
                const std::size_t n = at == 0 && offset ? 1 : size;
                ok = ok && encoder.Convert(std::string_view(utf8).substr(at, n), encoded);
                at += n;
            }
            decoder.Finish(decoded);
            ok = ok && encoder.Finish(encoded);
            EXPECT_EQ(decoded, utf8) << "piece size " << size;
            EXPECT_EQ(decoder.InvalidCount(), 0);
            EXPECT_TRUE(ok);
            EXPECT_EQ(encoded, stored) << "piece size " << size;
        }
    }
}

struct TextEndCase {
    const char* name;
    std::string body;
    std::string text;
    bool ended;
    std::int64_t endOffset;
};

void PrintTo(const TextEndCase& value, std::ostream* out) { *out << value.name; }

class TextEnd : public ::testing::TestWithParam<TextEndCase> {};

TEST_P(TextEnd, FollowsTheEditorsRulesAcrossPieces) {
    const TextEndCase& expected = GetParam();
    for (std::size_t at = 0; at <= expected.body.size(); ++at) {
        DocumentTextEnd end;
        std::string text;
        end.Filter(expected.body.substr(0, at), text);
        end.Filter(expected.body.substr(at), text);
        end.Finish(text);
        EXPECT_EQ(text, expected.text) << "cut at " << at;
        EXPECT_EQ(end.Ended(), expected.ended);
        if (expected.ended) {
            EXPECT_EQ(end.EndOffset(), expected.endOffset) << "cut at " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, TextEnd,
    ::testing::Values(TextEndCase{"NoEnd", "ab\r\ncd", "ab\r\ncd", false, 0},
                      TextEndCase{"Substitute", "ab\x1A" "cd", "ab", true, 2},
                      TextEndCase{"Nul", std::string("ab\0cd", 5), "ab", true, 2},
                      TextEndCase{"TrailByteDoesNotEnd", "\xD6\x1A" "c\x1A", "\xD6\x1A" "c", true, 3},
                      TextEndCase{"HighByteBeforeNul", std::string("a\xD6\0b", 4), "a", true, 1},
                      TextEndCase{"HighByteLast", "ab\xD6", "ab\xD6", false, 0}),
    [](const ::testing::TestParamInfo<TextEndCase>& info) { return info.param.name; });

}  // namespace
}  // namespace etxt

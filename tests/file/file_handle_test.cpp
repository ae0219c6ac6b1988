// File handles: text reading rules, open modes, share modes, encrypted files by position, and the
// results of every operation on a bad handle or after a file error.

#include "file/file_handle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "crypto/note_cipher.h"
#include "file/handle_registry.h"
#include "file/os_file.h"
#include "tests/file/scratch_folder.h"

namespace tolvarinth {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

std::int32_t PositionOf(FileHandle handle) {
    PlainFile* file = HandleRegistry::Instance().Find(handle);
    return file ? file->GetPosition() : -2;
}

// ---------------------------------------------------------------------------------------------
// ReadText

struct ReadCase {
    const char* name;
    std::string bytes;
    std::int32_t start;
    std::optional<std::int32_t> n;
    std::string text;
    std::int32_t position;  // afterwards
};

std::string B(const char* s, std::size_t n) { return std::string(s, n); }

const ReadCase kReadCases[] = {
    {"StopsAt1A", "ab\x1A" "cd", 0, 5, "ab", 2},
    {"StopsAt00", B("ab\0cd", 5), 0, 5, "ab", 2},
    {"LeadByteThen00EndsBeforeLeadRestsOn00", B("a\xB0\0cd", 5), 0, 5, "a", 2},
    {"Trail1AKept", "\xB0\x1A" "cd", 0, 4, "\xB0\x1A" "cd", 4},
    {"Trail00AfterLeadEndsLikeLead00", B("x\xB0\0", 3), 0, 3, "x", 2},
    {"TrailByteOfPairNeverStarts", "\xB0\xB0\x1A", 0, 3, "\xB0\xB0", 2},
    {"LeadByteLastReadKept", B("ab\xB0\0", 4), 0, 3, "ab\xB0", 3},
    {"DoubleByteText", "中文abc", 0, 7, "中文abc", 7},
    {"PastTheEndGivesWhatRemains", "abcdef", 2, 100, "cdef", 6},
    {"AtTheEnd", "abc", 3, 2, "", 3},
    {"ZeroLeavesPosition", "abc", 1, 0, "", 1},
    {"NegativeLeavesPosition", "abc", 1, -5, "", 1},
    {"NoLengthReadsFileLengthFromHere", "abcdef", 2, std::nullopt, "cdef", 6},
    {"NoLengthEmptyFile", "", 0, std::nullopt, "", 0},
    {"NoLengthStopsAt1A", "ab\x1A" "cd", 0, std::nullopt, "ab", 2},
    {"FirstByteTerminates", "\x1A" "abc", 0, 4, "", 0},
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadTextRules : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTextRules, TextAndPosition) {
    const ReadCase& c = GetParam();
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, c.bytes);
    const FileHandle h = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyNone);
    ASSERT_NE(h, kEmptyHandle);
    ASSERT_TRUE(SeekFile(h, SeekOrigin::FromStart, c.start));
    EXPECT_EQ(ReadText(h, c.n), c.text);
    EXPECT_EQ(PositionOf(h), c.position);
    CloseFile(h);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadTextRules, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A failing read anywhere gives the empty text with the position at the end of the file; every
// other outcome is the full result.
TEST(ReadText, FileErrorMovesToEndAndGivesEmptyText) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abcdef\x1Agh");
    const FileHandle h = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyNone);
    ASSERT_NE(h, kEmptyHandle);
    int failures = 0;
    for (std::int64_t n = 1;; ++n) {
        ASSERT_TRUE(SeekFile(h, SeekOrigin::FromStart, 1));
        os_fault::FailCall(n);
        const std::string text = ReadText(h, 9);
        const bool hit = os_fault::CallsMade() >= n;
        os_fault::Reset();
        if (!hit) {
            EXPECT_EQ(text, "bcdef");
            EXPECT_EQ(PositionOf(h), 6);
            break;
        }
        ++failures;
        EXPECT_EQ(text, "") << "call " << n;
        EXPECT_EQ(PositionOf(h), 9) << "call " << n;
        ASSERT_LT(n, 50);
    }
    EXPECT_GE(failures, 3);
    CloseFile(h);
}

// ---------------------------------------------------------------------------------------------
// WriteText

TEST(WriteText, WritesTextsInOrderWithoutTerminator) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    const FileHandle h = OpenFile(path, OpenMode::Rewrite, ShareMode::DenyAll);
    ASSERT_NE(h, kEmptyHandle);
    EXPECT_TRUE(WriteText(h, {"ab", "", "中", "\r\n"}));
    EXPECT_EQ(FileLength(h), 6);
    CloseFile(h);
    EXPECT_EQ(ReadBytes(path), "ab中\r\n");
}

TEST(WriteText, FileErrorRestoresPositionAndKeepsWrittenBytes) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "0123456789");
    const FileHandle h = OpenFile(path, OpenMode::ReadWrite, ShareMode::DenyNone);
    ASSERT_NE(h, kEmptyHandle);
    int failures = 0;
    for (std::int64_t n = 1;; ++n) {
        ASSERT_TRUE(SeekFile(h, SeekOrigin::FromStart, 2));
        os_fault::FailCall(n);
        const bool ok = WriteText(h, {"ab", "cd"});
        const bool hit = os_fault::CallsMade() >= n;
        os_fault::Reset();
        if (!hit) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(PositionOf(h), 6);
            break;
        }
        ++failures;
        EXPECT_FALSE(ok) << "call " << n;
        EXPECT_EQ(PositionOf(h), 2) << "call " << n;
        ASSERT_LT(n, 50);
    }
    EXPECT_GE(failures, 2);
    CloseFile(h);
    EXPECT_EQ(ReadBytes(path), "01abcd6789");
}

// ---------------------------------------------------------------------------------------------
// Opening

struct ModeCase {
    OpenMode mode;
    bool exists;
    bool opens;
    const char* contentAfter;  // nullptr: no file afterwards
};

void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << "mode " << static_cast<int>(c.mode) << (c.exists ? " existing" : " missing");
}

class OpenModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(OpenModes, CreateKeepOrEmpty) {
    const ModeCase& c = GetParam();
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    if (c.exists) WriteBytes(path, "hello");
    const FileHandle h = OpenFile(path, c.mode, ShareMode::DenyNone);
    EXPECT_EQ(h != kEmptyHandle, c.opens);
    CloseFile(h);  // nothing is written: what the open itself did shows
    if (c.contentAfter) {
        EXPECT_EQ(ReadBytes(path), c.contentAfter);
    } else {
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OpenModes,
                         ::testing::Values(ModeCase{OpenMode::ReadOnly, true, true, "hello"},
                                           ModeCase{OpenMode::ReadOnly, false, false, nullptr},
                                           ModeCase{OpenMode::WriteOnly, true, true, "hello"},
                                           ModeCase{OpenMode::WriteOnly, false, false, nullptr},
                                           ModeCase{OpenMode::ReadWrite, false, false, nullptr},
                                           ModeCase{OpenMode::Rewrite, true, true, ""},
                                           ModeCase{OpenMode::Rewrite, false, true, ""},
                                           ModeCase{OpenMode::WriteKeep, true, true, "hello"},
                                           ModeCase{OpenMode::WriteKeep, false, true, ""},
                                           ModeCase{OpenMode::ReadWriteKeep, true, true, "hello"},
                                           ModeCase{OpenMode::ReadWriteKeep, false, true, ""}));

TEST(OpenFile, RefusesBadArgumentsAndCreatesNothing) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    EXPECT_EQ(OpenFile("", OpenMode::Rewrite, ShareMode::DenyNone), kEmptyHandle);
    EXPECT_EQ(OpenFile(path, static_cast<OpenMode>(0), ShareMode::DenyNone), kEmptyHandle);
    EXPECT_EQ(OpenFile(path, static_cast<OpenMode>(7), ShareMode::DenyNone), kEmptyHandle);
    EXPECT_EQ(OpenFile(path, OpenMode::Rewrite, static_cast<ShareMode>(0)), kEmptyHandle);
    EXPECT_EQ(OpenFile(path, OpenMode::Rewrite, static_cast<ShareMode>(5)), kEmptyHandle);
    EXPECT_EQ(OpenEncryptedFile(path, OpenMode::Rewrite, static_cast<ShareMode>(5), "pw", 100), kEmptyHandle);
    EXPECT_EQ(OpenFile(folder.path().string(), OpenMode::ReadOnly, ShareMode::DenyNone), kEmptyHandle);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(OpenFile, DefaultsAreReadWriteDenyNone) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    EXPECT_EQ(OpenFile(path), kEmptyHandle);  // ReadWrite needs an existing file
    WriteBytes(path, "x");
    const FileHandle a = OpenFile(path);
    const FileHandle b = OpenFile(path);
    EXPECT_NE(a, kEmptyHandle);
    EXPECT_NE(b, kEmptyHandle);
    EXPECT_NE(a, b);
    EXPECT_TRUE(WriteText(a, {"y"}));
    EXPECT_EQ(ReadText(b, 1), "y");
    CloseFile(a);
    CloseFile(b);
}

TEST(BadHandle, EveryOperationGivesItsFailureResult) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abc");
    const FileHandle closed = OpenFile(path, OpenMode::ReadWrite, ShareMode::DenyNone);
    ASSERT_NE(closed, kEmptyHandle);
    CloseFile(closed);
    for (const FileHandle h : {kEmptyHandle, closed, FileHandle{0xDEADBEEF}}) {
        EXPECT_EQ(ReadText(h), "");
        EXPECT_EQ(ReadText(h, 3), "");
        EXPECT_FALSE(WriteText(h, {"x"}));
        EXPECT_FALSE(SeekFile(h, SeekOrigin::FromStart, 0));
        EXPECT_EQ(FileLength(h), -1);
        CloseFile(h);  // ignored
    }
    EXPECT_EQ(ReadBytes(path), "abc");
}

TEST(SeekFile, OriginsAndLimits) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abcdef");
    const FileHandle h = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyNone);
    ASSERT_NE(h, kEmptyHandle);
    EXPECT_TRUE(SeekFile(h, SeekOrigin::FromEnd, -2));
    EXPECT_EQ(PositionOf(h), 4);
    EXPECT_TRUE(SeekFile(h, SeekOrigin::FromCurrent, -3));
    EXPECT_EQ(PositionOf(h), 1);
    EXPECT_FALSE(SeekFile(h, SeekOrigin::FromCurrent, -2));  // before the start
    EXPECT_FALSE(SeekFile(h, static_cast<SeekOrigin>(0), 0));
    EXPECT_FALSE(SeekFile(h, static_cast<SeekOrigin>(4), 0));
    EXPECT_EQ(PositionOf(h), 1);
    EXPECT_EQ(FileLength(h), 6);
    EXPECT_EQ(PositionOf(h), 1);
    CloseFile(h);
}

// ---------------------------------------------------------------------------------------------
// Share modes: the second open of one path against the first, both from this process.

struct ShareCase {
    OpenMode firstMode;
    ShareMode firstShare;
    OpenMode secondMode;
    ShareMode secondShare;
    bool secondOpens;
};

void PrintTo(const ShareCase& c, std::ostream* out) {
    *out << "mode " << static_cast<int>(c.firstMode) << " share " << static_cast<int>(c.firstShare) << " then mode "
         << static_cast<int>(c.secondMode) << " share " << static_cast<int>(c.secondShare);
}

class ShareModes : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShareModes, SecondOpenWhileFirstIsOpen) {
    const ShareCase& c = GetParam();
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "keep");
    const FileHandle first = OpenFile(path, c.firstMode, c.firstShare);
    ASSERT_NE(first, kEmptyHandle);
    const FileHandle second = OpenFile(path, c.secondMode, c.secondShare);
    EXPECT_EQ(second != kEmptyHandle, c.secondOpens);
    CloseFile(second);
    CloseFile(first);
    if (!c.secondOpens) {
        EXPECT_EQ(ReadBytes(path), "keep");  // a refused Rewrite empties nothing
        const FileHandle again = OpenFile(path, c.secondMode, c.secondShare);
        EXPECT_NE(again, kEmptyHandle) << "the first open's close lets the second in";
        CloseFile(again);
    }
}

constexpr auto R = OpenMode::ReadOnly;
constexpr auto W = OpenMode::WriteOnly;
constexpr auto RW = OpenMode::ReadWrite;
constexpr auto Rewrite = OpenMode::Rewrite;

INSTANTIATE_TEST_SUITE_P(
    Table, ShareModes,
    ::testing::Values(ShareCase{R, ShareMode::DenyAll, R, ShareMode::DenyAll, false},
                      ShareCase{R, ShareMode::DenyAll, R, ShareMode::DenyNone, false},
                      ShareCase{R, ShareMode::DenyNone, R, ShareMode::DenyAll, false},
                      ShareCase{R, ShareMode::DenyNone, R, ShareMode::DenyNone, true},
                      ShareCase{RW, ShareMode::DenyNone, RW, ShareMode::DenyNone, true},
                      ShareCase{R, ShareMode::DenyWrite, R, ShareMode::DenyWrite, true},
                      ShareCase{R, ShareMode::DenyWrite, W, ShareMode::DenyNone, false},
                      ShareCase{W, ShareMode::DenyNone, R, ShareMode::DenyWrite, false},
                      ShareCase{R, ShareMode::DenyRead, W, ShareMode::DenyNone, true},
                      ShareCase{R, ShareMode::DenyRead, R, ShareMode::DenyNone, false},
                      ShareCase{W, ShareMode::DenyWrite, R, ShareMode::DenyRead, true},
                      ShareCase{R, ShareMode::DenyNone, Rewrite, ShareMode::DenyAll, false},
                      ShareCase{R, ShareMode::DenyWrite, Rewrite, ShareMode::DenyNone, false}));

// ---------------------------------------------------------------------------------------------
// Encrypted files

std::string Printable(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(n, ' ');
    for (char& c : bytes) c = static_cast<char>(0x20 + random() % 0x5F);  // no 0x00, 0x1A or lead byte
    return bytes;
}

// The file's bytes as an EncryptedFile with this password and prefix must store them.
std::string Enciphered(std::string bytes, std::string_view password, std::int32_t prefix) {
    Transform(BaseState(password), KeyText(password), prefix, 0, reinterpret_cast<std::uint8_t*>(bytes.data()),
              bytes.size());
    return bytes;
}

TEST(EncryptedFile, EmptyPasswordIsAPlainFile) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    const FileHandle h = OpenEncryptedFile(path, OpenMode::Rewrite, ShareMode::DenyAll, "", 100);
    ASSERT_NE(h, kEmptyHandle);
    FileKind kind{};
    ASSERT_TRUE(HandleRegistry::Instance().KindOf(h, kind));
    EXPECT_EQ(kind, FileKind::Plain);
    EXPECT_TRUE(WriteText(h, {"abc"}));
    CloseFile(h);
    EXPECT_EQ(ReadBytes(path), "abc");
}

TEST(EncryptedFile, ClearBelowPrefixEncipheredBeyondReadableAtEveryPositionInAnyOrder) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    const std::string clear = Printable(2 * 4096 + 300, 1);
    const FileHandle h = OpenEncryptedFile(path, OpenMode::Rewrite, ShareMode::DenyAll, "secret", 100);
    ASSERT_NE(h, kEmptyHandle);
    FileKind kind{};
    ASSERT_TRUE(HandleRegistry::Instance().KindOf(h, kind));
    EXPECT_EQ(kind, FileKind::Encrypted);
    ASSERT_TRUE(WriteText(h, {clear}));
    CloseFile(h);

    const std::string stored = ReadBytes(path);
    EXPECT_EQ(stored.substr(0, 100), clear.substr(0, 100));
    EXPECT_EQ(stored, Enciphered(clear, "secret", 100));

    std::vector<std::int32_t> order(clear.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(2));

    // Reading one byte at a time in a random order.
    const FileHandle r = OpenEncryptedFile(path, OpenMode::ReadOnly, ShareMode::DenyWrite, "secret", 100);
    ASSERT_NE(r, kEmptyHandle);
    for (const std::int32_t p : order) {
        ASSERT_TRUE(SeekFile(r, SeekOrigin::FromStart, p));
        ASSERT_EQ(ReadText(r, 1), clear.substr(static_cast<std::size_t>(p), 1)) << "position " << p;
    }
    // Runs crossing the prefix and block boundaries.
    for (const std::int32_t p : {0, 99, 100, 4095, 4096, 8000}) {
        ASSERT_TRUE(SeekFile(r, SeekOrigin::FromStart, p));
        EXPECT_EQ(ReadText(r, 5000), clear.substr(static_cast<std::size_t>(p), 5000)) << "position " << p;
    }
    CloseFile(r);

    // Writing one byte at a time in a random order stores the same file.
    const std::string copy = folder.File("copy.bin");
    WriteBytes(copy, std::string(clear.size(), '\0'));
    const FileHandle w = OpenEncryptedFile(copy, OpenMode::ReadWrite, ShareMode::DenyAll, "secret", 100);
    ASSERT_NE(w, kEmptyHandle);
    for (const std::int32_t p : order) {
        ASSERT_TRUE(SeekFile(w, SeekOrigin::FromStart, p));
        ASSERT_TRUE(WriteText(w, {std::string_view(clear).substr(static_cast<std::size_t>(p), 1)}));
    }
    CloseFile(w);
    EXPECT_EQ(ReadBytes(copy), stored);
}

TEST(EncryptedFile, NegativePrefixEnciphersFromZeroAndTextRulesApplyToClearBytes) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    const std::string clear = "ab\x1A" "cd";
    const FileHandle h = OpenEncryptedFile(path, OpenMode::Rewrite, ShareMode::DenyAll, "pw", -7);
    ASSERT_NE(h, kEmptyHandle);
    ASSERT_TRUE(WriteText(h, {clear}));
    ASSERT_TRUE(SeekFile(h, SeekOrigin::FromStart, 0));
    CloseFile(h);
    EXPECT_EQ(ReadBytes(path), Enciphered(clear, "pw", 0));

    const FileHandle r = OpenEncryptedFile(path, OpenMode::ReadOnly, ShareMode::DenyAll, "pw", -7);
    EXPECT_EQ(ReadText(r), "ab");
    EXPECT_EQ(PositionOf(r), 2);
    CloseFile(r);
}

}  // namespace
}  // namespace tolvarinth

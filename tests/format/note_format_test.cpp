// The note file: its exact bytes, the header reader, and the body reader.

#include "document/note_format.h"

#include <gtest/gtest.h>

#include "crypto/digest_text.h"
#include "file/os_file.h"
#include "tests/file/scratch_folder.h"

namespace tolvarinth {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(k, 2)), nullptr, 16));
    }
    return bytes;
}

// The signature in code page 936, spelled out so that it does not depend on how this file is
// compiled.
const std::string kSignature = FromHex(
    "2bb1becec4bcfed3c9546f6c766172696e7468b4b4bda82bc7ebcef0cad6b6afb1e0bcad2bc1aacfb5d7f7d5dfd3cacfe4"
    "6e6f746573406578616d706c652e636f6d2b");
const std::string kNoPassword = "d41d8cd98f00b204e9800998ecf8427e";

TEST(NoteSignature, IsTheSixtySevenByteConstant) {
    EXPECT_EQ(NoteSignature(), kSignature);
    EXPECT_EQ(NoteSignature().size(), 67u);
    EXPECT_EQ(NoteSignature().substr(49, 17), "notes@example.com");
}

// ---------------------------------------------------------------------------------------------
// Written bytes, checked against values computed independently from the cipher's definition.

struct WriteCase {
    const char* name;
    std::string password;
    std::string text;
    std::string file;
};

const WriteCase kWriteCases[] = {
    {"EmptyNoPassword", "", "", kSignature + kNoPassword + "+"},
    {"AbcNoPassword", "", "abc", kSignature + kNoPassword + "+abc"},
    {"AbcWithPassword", "secret", "abc", kSignature + "5ebe2294ecd0e0f08eab7690d2a6ee69+" + FromHex("485831")},
    {"AbcWithChinesePassword", FromHex("c3dcc2eb"), "abc",
     kSignature + "d2293e30f0c964c5f6242486aa8a483c+" + FromHex("6581e9")},
    {"EmptyWithPassword", "secret", "", kSignature + "5ebe2294ecd0e0f08eab7690d2a6ee69+"},
    {"ControlBytesWrittenInFull", "", std::string("a\x1A\0b", 4), kSignature + kNoPassword + "+" + std::string("a\x1A\0b", 4)},
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class NoteBytes : public ::testing::TestWithParam<WriteCase> {};

TEST_P(NoteBytes, FileIsExactly) {
    const WriteCase& c = GetParam();
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    ASSERT_TRUE(WriteNoteFile(path, c.password, c.text));
    EXPECT_EQ(ReadBytes(path), c.file);

    std::string body = "untouched";
    ASSERT_TRUE(ReadNoteBody(path, c.password, body));
    std::string expected = c.text;
    for (char& byte : expected) {
        if (byte == '\0') byte = ' ';
    }
    EXPECT_EQ(body, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, NoteBytes, ::testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The header reader.

struct HeaderCase {
    const char* name;
    std::string file;
    bool matched;
    std::string check;
};

std::string WithAddress(const char* address) {
    std::string signature = kSignature;
    signature.replace(49, 17, address);
    return signature;
}

const std::string kUpper = "D41D8CD98F00B204E9800998ECF8427E";

const HeaderCase kHeaderCases[] = {
    {"PlainNote", kSignature + kNoPassword + "+abc", true, kNoPassword},
    {"NotPlusAt99StillOpens", kSignature + kNoPassword + "-abc", true, kNoPassword},
    {"UpperCaseCheckKeptAsStored", kSignature + kUpper + "+", true, kUpper},
    {"SignatureOnly", kSignature, true, ""},
    {"NinetyNineBytes", kSignature + kNoPassword, true, kNoPassword},
    {"ShortCheck", kSignature + "d41d8cd9", true, "d41d8cd9"},
    {"OtherAddress", WithAddress("other@example.org") + kNoPassword + "+", false, ""},
    {"Shorter", kSignature.substr(0, 66), false, ""},
    {"Control1AInside", kSignature.substr(0, 30) + "\x1A" + kSignature.substr(31) + kNoPassword + "+", false, ""},
    {"Empty", "", false, ""},
};

void PrintTo(const HeaderCase& c, std::ostream* out) { *out << c.name; }

class NoteHeaderRead : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(NoteHeaderRead, SignatureAndCheck) {
    const HeaderCase& c = GetParam();
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    WriteBytes(path, c.file);
    NoteHeader header = OpenNoteHeader(path);
    EXPECT_NE(header.handle, kEmptyHandle);
    EXPECT_EQ(header.signatureMatched, c.matched);
    EXPECT_EQ(header.passwordCheck, c.check);
    // Held exclusively until closed.
    EXPECT_EQ(OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyNone), kEmptyHandle);
    CloseNoteHeader(header);
    EXPECT_EQ(header.handle, kEmptyHandle);
    const FileHandle again = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyNone);
    EXPECT_NE(again, kEmptyHandle);
    CloseFile(again);
}

INSTANTIATE_TEST_SUITE_P(Table, NoteHeaderRead, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NoteHeaderRead, UnopenablePathIsNotANote) {
    ScratchFolder folder;
    NoteHeader missing = OpenNoteHeader(folder.File("missing.etxt"));
    EXPECT_EQ(missing.handle, kEmptyHandle);
    EXPECT_FALSE(missing.signatureMatched);
    CloseNoteHeader(missing);  // nothing to close

    const std::string path = folder.File("note.etxt");
    ASSERT_TRUE(WriteNoteFile(path, "", "abc"));
    const FileHandle holder = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyAll);
    NoteHeader held = OpenNoteHeader(path);
    EXPECT_FALSE(held.signatureMatched);
    CloseNoteHeader(held);
    CloseFile(holder);
}

// ---------------------------------------------------------------------------------------------
// The body reader.

TEST(NoteBodyRead, WholeBodyWhateverItHolds) {
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    std::string text;
    for (int line = 0; line < 2000; ++line) text += "第" + std::to_string(line) + "行 \x1A text\r\n";
    ASSERT_TRUE(WriteNoteFile(path, "密码", text));
    std::string body;
    ASSERT_TRUE(ReadNoteBody(path, "密码", body));
    EXPECT_EQ(body, text);
}

TEST(NoteBodyRead, ShortFilesHaveAnEmptyBody) {
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    for (const std::string& file : {kSignature + kNoPassword, kSignature + kNoPassword + "+", kSignature}) {
        WriteBytes(path, file);
        std::string body = "old";
        EXPECT_TRUE(ReadNoteBody(path, "", body));
        EXPECT_EQ(body, "");
    }
}

TEST(NoteBodyRead, FailsWithoutTouchingTheTextWhenTheFileCannotBeRead) {
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    std::string body = "old";
    EXPECT_FALSE(ReadNoteBody(path, "", body));
    EXPECT_FALSE(ReadNoteBody("", "", body));

    ASSERT_TRUE(WriteNoteFile(path, "", "abc"));
    const FileHandle holder = OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyAll);
    EXPECT_FALSE(ReadNoteBody(path, "", body));
    CloseFile(holder);
    EXPECT_EQ(body, "old");
}

// Whatever call of the read fails, the result is the whole body or a failure, never a part.
TEST(NoteBodyRead, NeverReportsAPartialBody) {
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    const std::string text(3 << 20, 'x');  // several read chunks
    ASSERT_TRUE(WriteNoteFile(path, "pw", text));
    int failures = 0;
    for (std::int64_t n = 1;; ++n) {
        std::string body = "old";
        os_fault::FailCall(n);
        const bool ok = ReadNoteBody(path, "pw", body);
        const bool hit = os_fault::CallsMade() >= n;
        os_fault::Reset();
        if (ok) {
            EXPECT_TRUE(body == text) << "call " << n;  // a failed close after a whole read
        } else {
            ++failures;
            EXPECT_EQ(body, "old") << "call " << n;
        }
        if (!hit) {
            EXPECT_TRUE(ok);
            break;
        }
        ASSERT_LT(n, 100);
    }
    EXPECT_GE(failures, 5);
}

}  // namespace
}  // namespace tolvarinth

// Streaming a note: pieces of any size give the same file as one write through an encrypted file
// handle, and the reader gives the body back in any piece size.

#include "document/note_stream.h"

#include <gtest/gtest.h>

#include <random>

#include "crypto/digest_text.h"
#include "document/note_format.h"
#include "tests/file/scratch_folder.h"

namespace tolvarinth {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

// The note as the file handles write it: one text through an EncryptedFile with prefix 100.
std::string ThroughFileHandle(const ScratchFolder& folder, std::string_view password, const std::string& body) {
    const std::string path = folder.File("reference.etxt");
    const FileHandle h = OpenEncryptedFile(path, OpenMode::Rewrite, ShareMode::DenyAll, password, kNoteHeaderLength);
    EXPECT_NE(h, kEmptyHandle);
    const std::string header = std::string(NoteSignature()) + DigestText(password) + "+";
    EXPECT_TRUE(WriteText(h, {header, body}));
    CloseFile(h);
    return ReadBytes(path);
}

struct PasswordCase {
    const char* name;
    const char* password;
};
void PrintTo(const PasswordCase& c, std::ostream* out) { *out << c.name; }

class NoteStreaming : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(NoteStreaming, PiecesOfAnySizeMakeTheSameNote) {
    const std::string password = GetParam().password;
    ScratchFolder folder;
    const std::string body = RandomBytes(3 * 4096 + 1000, 7);
    const std::string expected = ThroughFileHandle(folder, password, body);

    const std::string path = folder.File("note.etxt");
    NoteWriter writer;
    ASSERT_TRUE(writer.Begin(path, password));
    std::mt19937 random(3);
    for (std::size_t done = 0; done < body.size();) {
        const std::size_t piece = std::min<std::size_t>(body.size() - done, random() % 5000);
        ASSERT_TRUE(writer.Append(std::string_view(body).substr(done, piece)));
        done += piece;
    }
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(ReadBytes(path) == expected);

    NoteBodyReader reader;
    ASSERT_TRUE(reader.Open(path, password));
    EXPECT_EQ(reader.BodyLength(), static_cast<std::int64_t>(body.size()));
    EXPECT_EQ(OpenFile(path, OpenMode::ReadOnly, ShareMode::DenyNone), kEmptyHandle) << "held exclusively";
    std::string back;
    char buffer[5000];
    for (;;) {
        const std::int64_t got = reader.Read(buffer, 1 + random() % sizeof buffer);
        ASSERT_GE(got, 0);
        if (got == 0) break;
        back.append(buffer, static_cast<std::size_t>(got));
    }
    reader.Close();
    EXPECT_TRUE(back == body);
}

INSTANTIATE_TEST_SUITE_P(Passwords, NoteStreaming,
                         ::testing::Values(PasswordCase{"None", ""}, PasswordCase{"OneByte", "p"},
                                           PasswordCase{"Chinese", "密码"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NoteWriter, AbandonedNoteLeavesTheOldOneAndNoTemporary) {
    ScratchFolder folder;
    const std::string path = folder.File("note.etxt");
    ASSERT_TRUE(WriteNoteFile(path, "", "old"));
    const std::string old = ReadBytes(path);
    {
        NoteWriter writer;
        ASSERT_TRUE(writer.Begin(path, "pw"));
        ASSERT_TRUE(writer.Append("new"));
        EXPECT_EQ(folder.Names().size(), 2u);  // the note and the new one beside it
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"note.etxt"});

    NoteWriter writer;
    ASSERT_TRUE(writer.Begin(path, "pw"));
    writer.Abort();
    EXPECT_FALSE(writer.Append("x"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"note.etxt"});
}

TEST(NoteBodyReader, FailsOnMissingNoteAndReadsNothingWhenClosed) {
    ScratchFolder folder;
    NoteBodyReader reader;
    EXPECT_FALSE(reader.Open(folder.File("missing.etxt"), ""));
    EXPECT_EQ(reader.BodyLength(), 0);
    char byte;
    EXPECT_EQ(reader.Read(&byte, 1), -1);
}

}  // namespace
}  // namespace tolvarinth

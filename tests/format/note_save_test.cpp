// Saving never destroys the note already on disk: whatever fails, the old note stays byte for byte
// and no temporary file is left beside it.

#include "document/note_format.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "file/os_file.h"
#include "tests/file/scratch_folder.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvarinth {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

std::string LongText() {
    std::string text;
    for (int line = 0; text.size() < 200 * 1024; ++line) text += "第" + std::to_string(line) + "行\r\n";
    return text;
}

class NoteSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteNoteFile(path_, "old", "the old note\r\n"));
        old_ = ReadBytes(path_);
        ASSERT_EQ(old_.size(), 114u);
    }
    void ExpectOldNoteAlone() {
        EXPECT_EQ(ReadBytes(path_), old_);
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{"note.etxt"});
    }
    void ExpectNewNote(const std::string& password, const std::string& text) {
        std::string body;
        EXPECT_TRUE(ReadNoteBody(path_, password, body));
        EXPECT_TRUE(body == text);
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{"note.etxt"});
    }

    ScratchFolder folder_;
    std::string path_ = folder_.File("note.etxt");
    std::string old_;
};

// Every OS call a save makes is failed in turn, until the save runs through.
TEST_F(NoteSave, AnyFailingCallLeavesTheOldNote) {
    const std::string text = LongText();
    int failures = 0;
    for (std::int64_t n = 1;; ++n) {
        os_fault::FailCall(n);
        const bool saved = WriteNoteFile(path_, "new", text);
        const bool hit = os_fault::CallsMade() >= n;
        os_fault::Reset();
        if (saved) {
            ExpectNewNote("new", text);
            EXPECT_FALSE(hit) << "a save reported success although call " << n << " failed";
            break;
        }
        ++failures;
        SCOPED_TRACE("failing call " + std::to_string(n));
        ExpectOldNoteAlone();
        ASSERT_TRUE(hit);
        ASSERT_LT(n, 200);
    }
    EXPECT_GE(failures, 8);
}

TEST_F(NoteSave, AnyFailingCallOfAFirstSaveLeavesNoFile) {
    const std::string path = folder_.File("new.etxt");
    for (std::int64_t n = 1;; ++n) {
        os_fault::FailCall(n);
        const bool saved = WriteNoteFile(path, "", "abc");
        os_fault::Reset();
        if (saved) break;
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{"note.etxt"}) << "failing call " << n;
        ASSERT_LT(n, 100);
    }
    EXPECT_EQ(ReadBytes(path).size(), 103u);
}

TEST_F(NoteSave, ReadOnlyNoteIsNotReplaced) {
    std::filesystem::permissions(path_, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                            std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(WriteNoteFile(path_, "new", "new text"));
    ExpectOldNoteAlone();
}

TEST_F(NoteSave, NoteHeldOpenByAnotherIsNotReplaced) {
    for (const ShareMode share : {ShareMode::DenyAll, ShareMode::DenyWrite, ShareMode::DenyNone}) {
        const FileHandle holder = OpenFile(path_, OpenMode::ReadOnly, share);
        ASSERT_NE(holder, kEmptyHandle);
        EXPECT_FALSE(WriteNoteFile(path_, "new", "new text")) << static_cast<int>(share);
        CloseFile(holder);
        ExpectOldNoteAlone();
    }
    EXPECT_TRUE(WriteNoteFile(path_, "new", "new text"));
    ExpectNewNote("new", "new text");
}

TEST_F(NoteSave, MissingFolderFails) {
    EXPECT_FALSE(WriteNoteFile(folder_.File("missing") + "/note.etxt", "", "abc"));
    ExpectOldNoteAlone();
}

TEST_F(NoteSave, FolderIsNotANote) {
    EXPECT_FALSE(WriteNoteFile(folder_.path().string(), "", "abc"));
    ExpectOldNoteAlone();
}

#ifndef _WIN32

TEST_F(NoteSave, KeepsPermissionBits) {
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    ASSERT_TRUE(WriteNoteFile(path_, "", "new"));
    struct stat st = {};
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(NoteSave, ThroughALinkReplacesWhatItNames) {
    const std::string link = folder_.File("link.etxt");
    ASSERT_EQ(::symlink(path_.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteNoteFile(link, "", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::string body;
    EXPECT_TRUE(ReadNoteBody(path_, "", body));
    EXPECT_EQ(body, "new");
}

// A file system too small for the new note.
class NoteSaveOnFullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        mountPoint_ = folder_.File("small");
        std::filesystem::create_directory(mountPoint_);
        if (::mount("tolvarinth-test", mountPoint_.c_str(), "tmpfs", 0, "size=64k") != 0) {
            GTEST_SKIP() << "cannot mount a small tmpfs here (needs root or CAP_SYS_ADMIN)";
        }
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    ScratchFolder folder_;
    std::string mountPoint_;
    bool mounted_ = false;
};

TEST_F(NoteSaveOnFullDisk, OldNoteSurvivesAndNoTemporaryIsLeft) {
    const std::string path = mountPoint_ + "/note.etxt";
    ASSERT_TRUE(WriteNoteFile(path, "pw", std::string(20 * 1024, 'o')));
    const std::string old = ReadBytes(path);
    EXPECT_FALSE(WriteNoteFile(path, "pw", std::string(100 * 1024, 'n')));
    EXPECT_EQ(ReadBytes(path), old);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(mountPoint_)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"note.etxt"});
    // A note that fits still saves there.
    EXPECT_TRUE(WriteNoteFile(path, "pw", "short"));
}

#endif

}  // namespace
}  // namespace tolvarinth

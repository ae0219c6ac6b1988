// The operating-system layer: share modes between processes, paths in code page 936, inheritable
// handles, and the fault hook the save tests rely on.

#include "file/os_file.h"

#include <gtest/gtest.h>

#include "tests/file/scratch_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tolvarinth {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

TEST(OsFault, FailsExactlyTheChosenCallOnce) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abc");
    OsFile file;
    os_fault::FailCall(2);
    ASSERT_TRUE(file.Open(path, OsAccess::Read, ShareMode::DenyNone, OsCreate::OpenExisting));
    char buffer[3];
    EXPECT_EQ(file.Read(buffer, 3), -1);  // call 2
    EXPECT_TRUE(file.Seek(0, SeekOrigin::FromStart));
    EXPECT_EQ(file.Read(buffer, 3), 3);
    EXPECT_EQ(os_fault::CallsMade(), 4);
    os_fault::Reset();
}

TEST(OsFile, CreateNewRefusesAnExistingFile) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abc");
    OsFile file;
    EXPECT_FALSE(file.Open(path, OsAccess::ReadWrite, ShareMode::DenyAll, OsCreate::CreateNew));
    EXPECT_EQ(ReadBytes(path), "abc");
}

#ifdef _WIN32

TEST(OsFileWin32, PathIsCodePage936) {
    ScratchFolder folder;
    const std::string path = folder.File("") + "笔记.etxt";  // code page 936 bytes
    OsFile file;
    ASSERT_TRUE(file.Open(path, OsAccess::Write, ShareMode::DenyAll, OsCreate::CreateNew));
    EXPECT_TRUE(file.Write("x", 1));
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(std::filesystem::exists(folder.path() / L"\u7b14\u8bb0.etxt"));
}

TEST(OsFileWin32, HandleIsInheritable) {
    ScratchFolder folder;
    OsFile file;
    ASSERT_TRUE(file.Open(folder.File("t.bin"), OsAccess::Write, ShareMode::DenyAll, OsCreate::CreateAlways));
    DWORD flags = 0;
    ASSERT_TRUE(GetHandleInformation(reinterpret_cast<HANDLE>(file.NativeHandle()), &flags));
    EXPECT_NE(flags & HANDLE_FLAG_INHERIT, 0u);
}

#else

// A child process holds the file; the parent's opens meet its share mode.
class OtherProcess {
public:
    OtherProcess(const std::string& path, OsAccess access, ShareMode share) {
        int ready[2];
        int done[2];
        if (::pipe(ready) != 0 || ::pipe(done) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(done[1]);
            OsFile file;
            const char opened = file.Open(path, access, share, OsCreate::OpenExisting) ? 'y' : 'n';
            ssize_t ignored = ::write(ready[1], &opened, 1);
            char stop;
            ignored = ::read(done[0], &stop, 1);
            (void)ignored;
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(done[0]);
        release_ = done[1];
        char opened = 'n';
        opened_ = ::read(ready[0], &opened, 1) == 1 && opened == 'y';
        ::close(ready[0]);
    }
    ~OtherProcess() {
        if (release_ >= 0) ::close(release_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool opened() const { return opened_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool opened_ = false;
};

TEST(OsFilePosix, ShareModesHoldAgainstAnotherProcess) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abc");
    OsFile file;
    {
        OtherProcess other(path, OsAccess::Read, ShareMode::DenyAll);
        ASSERT_TRUE(other.opened());
        EXPECT_FALSE(file.Open(path, OsAccess::Read, ShareMode::DenyNone, OsCreate::OpenExisting));
    }
    {
        OtherProcess other(path, OsAccess::Read, ShareMode::DenyWrite);
        ASSERT_TRUE(other.opened());
        EXPECT_FALSE(file.Open(path, OsAccess::Write, ShareMode::DenyNone, OsCreate::OpenExisting));
        EXPECT_TRUE(file.Open(path, OsAccess::Read, ShareMode::DenyWrite, OsCreate::OpenExisting));
    }
    // This process holds it now; the other one is kept out.
    EXPECT_FALSE(OtherProcess(path, OsAccess::Write, ShareMode::DenyNone).opened());
    file.Close();
    EXPECT_TRUE(OtherProcess(path, OsAccess::Write, ShareMode::DenyNone).opened());
}

TEST(OsFilePosix, DescriptorIsInheritable) {
    ScratchFolder folder;
    OsFile file;
    ASSERT_TRUE(file.Open(folder.File("t.bin"), OsAccess::Write, ShareMode::DenyAll, OsCreate::CreateAlways));
    const int flags = ::fcntl(static_cast<int>(file.NativeHandle()), F_GETFD);
    ASSERT_GE(flags, 0);
    EXPECT_EQ(flags & FD_CLOEXEC, 0);
}

TEST(OsFilePosix, WriteOnlyOpenTakesPartInSharing) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abc");
    OsFile writer;
    ASSERT_TRUE(writer.Open(path, OsAccess::Write, ShareMode::DenyAll, OsCreate::OpenExisting));
    EXPECT_FALSE(OtherProcess(path, OsAccess::Read, ShareMode::DenyNone).opened());
}

TEST(OsFilePosix, RefusedCreateAlwaysEmptiesNothing) {
    ScratchFolder folder;
    const std::string path = folder.File("t.bin");
    WriteBytes(path, "abc");
    OtherProcess other(path, OsAccess::Read, ShareMode::DenyWrite);
    ASSERT_TRUE(other.opened());
    OsFile file;
    EXPECT_FALSE(file.Open(path, OsAccess::Write, ShareMode::DenyNone, OsCreate::CreateAlways));
    EXPECT_EQ(ReadBytes(path), "abc");
}

#endif

}  // namespace
}  // namespace tolvarinth

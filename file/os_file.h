#pragma once
// The operating system's file interface, reduced to what the file handles and the note writer
// need. One implementation per platform: os_file_win32.cpp (CreateFileW and friends, real share
// modes) and os_file_posix.cpp (open/read/write, share modes emulated with advisory locks).
// Nothing here throws; every call reports failure by its result.

#include <cstddef>
#include <cstdint>
#include <string>

#include "file/file_handle.h"

namespace tolvarinth {

enum class OsAccess { Read, Write, ReadWrite };
enum class OsCreate {
    OpenExisting,  // fails when missing
    OpenAlways,    // created when missing, content kept
    CreateAlways,  // created when missing, emptied when present (only once the share check passed)
    CreateNew,     // fails when present
};

// One open file. Movable, closes itself when destroyed.
class OsFile {
public:
    OsFile() = default;
    ~OsFile();
    OsFile(OsFile&& other) noexcept;
    OsFile& operator=(OsFile&& other) noexcept;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // The path is a code page 936 text. Binary mode, inheritable handle, normal attributes.
    bool Open(const std::string& path, OsAccess access, ShareMode share, OsCreate create);
    bool IsOpen() const;

    // Reads up to n bytes at the current position: the count read (0 at the end), -1 on error.
    std::int64_t Read(void* buffer, std::size_t n);
    // Writes all n bytes at the current position; false if any of them could not be written.
    bool Write(const void* buffer, std::size_t n);
    // Moves the position; false (position unchanged) on error or for a position below 0.
    bool Seek(std::int64_t distance, SeekOrigin origin, std::int64_t* newPosition = nullptr);
    std::int64_t Position();  // -1 on error
    std::int64_t Length();    // -1 on error; the position is unchanged
    bool Flush();             // everything written reaches the disk
    // Gives this file the permissions of the file at path (where the platform has them).
    bool CopyPermissionsFrom(const std::string& path);
    bool Close();  // the file is closed even when false is returned

    // The platform's handle (HANDLE or descriptor), for inspection only.
    std::intptr_t NativeHandle() const;

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
    int lockFd_ = -1;  // a second, readable descriptor holding the share locks when fd_ is write-only
#endif
};

// Facts about a path: whether it exists and may be written (not read-only).
struct OsPathInfo {
    bool exists = false;
    bool isRegularFile = false;
    bool readOnly = false;
};
bool OsQueryPath(const std::string& path, OsPathInfo& info);  // false on error other than "missing"

// The file a save should replace: the path itself, or what it links to.
std::string OsResolveTarget(const std::string& path);

// Replaces 'to' by 'from' in one step and makes the change durable.
bool OsReplaceFile(const std::string& from, const std::string& to);
bool OsRemoveFile(const std::string& path);

// Test hook: counts the calls above (each Open, Read, Write, Seek, Position, Length, Flush,
// CopyPermissionsFrom, Close, OsQueryPath, OsReplaceFile, OsRemoveFile is one call) and makes one
// chosen call fail as the system would.
namespace os_fault {
void FailCall(std::int64_t n);  // the nth call from now fails (1 = the next one); 0 disarms
std::int64_t CallsMade();       // calls since the last FailCall or Reset
void Reset();
// Used by the implementations: counts one call and tells whether it is the one to fail.
bool NextCallFails();
}  // namespace os_fault

}  // namespace tolvarinth

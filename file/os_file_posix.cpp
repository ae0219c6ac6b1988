// POSIX file layer. Windows share modes are emulated with open-file-description locks, which
// belong to one open of a file (not to the process), so two opens conflict alike whether they come
// from one process or from two:
//   - every open holds shared locks on marker bytes far beyond any real data: "has read access",
//     "has write access", "denies read", "denies write";
//   - an open succeeds only when no other open holds a marker that excludes it (it wants read
//     while someone denies read, it denies write while someone writes, ...), exactly the Windows
//     rule; the test and the taking of markers happen under a whole-file flock that serialises
//     opens of one file.
// The locks are advisory: programs that do not take them are not kept away.

#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <utility>

#include "file/os_file.h"

namespace tolvarinth {

namespace {

constexpr off_t kMarkerBase = static_cast<off_t>(0x7FFFFFFFFFFF0000LL);
enum Marker : off_t { kHasRead = 0, kHasWrite = 1, kDeniesRead = 2, kDeniesWrite = 3 };

bool Injected() {
    if (os_fault::NextCallFails()) {
        errno = EIO;
        return true;
    }
    return false;
}

int RetryOpen(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// True when some other open holds the marker (any lock on it).
bool MarkerHeld(int fd, Marker marker, bool& held) {
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = kMarkerBase + marker;
    probe.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &probe) != 0) return false;
    held = probe.l_type != F_UNLCK;
    return true;
}

bool TakeMarker(int fd, Marker marker) {
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kMarkerBase + marker;
    lock.l_len = 1;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whole-file flock held only while an open checks and takes its markers; waits at most ~2 s for
// another opener (or a program holding its own flock).
bool LockGate(int fd) {
    for (int attempt = 0; attempt < 2000; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        struct timespec pause = {0, 1000000};
        ::nanosleep(&pause, nullptr);
    }
    errno = EBUSY;
    return false;
}

// Errors that mean this file system keeps no such locks (some network and user-space file
// systems): the file is then opened without the share check rather than not at all.
bool LocksUnsupported(int error) { return error == ENOLCK || error == EINVAL || error == EOPNOTSUPP || error == ENOSYS; }

bool ClaimShare(int fd, bool reads, bool writes, ShareMode share) {
    const bool deniesRead = share == ShareMode::DenyRead || share == ShareMode::DenyAll;
    const bool deniesWrite = share == ShareMode::DenyWrite || share == ShareMode::DenyAll;
    if (!LockGate(fd)) return LocksUnsupported(errno);
    bool ok = true;
    bool unsupported = false;
    const std::pair<bool, Marker> excluded[] = {
        {reads, kDeniesRead}, {writes, kDeniesWrite}, {deniesRead, kHasRead}, {deniesWrite, kHasWrite}};
    for (const auto& [applies, marker] : excluded) {
        bool held = false;
        if (!applies) continue;
        if (!MarkerHeld(fd, marker, held)) {
            unsupported = LocksUnsupported(errno);
            ok = false;
            break;
        }
        if (held) {
            ok = false;
            break;
        }
    }
    const std::pair<bool, Marker> mine[] = {
        {reads, kHasRead}, {writes, kHasWrite}, {deniesRead, kDeniesRead}, {deniesWrite, kDeniesWrite}};
    for (const auto& [applies, marker] : mine) {
        if (ok && applies && !TakeMarker(fd, marker)) {
            unsupported = LocksUnsupported(errno);
            ok = false;
        }
    }
    ::flock(fd, LOCK_UN);
    if (unsupported) return true;
    if (!ok) errno = EBUSY;  // a sharing conflict
    return ok;
}

void CloseQuietly(int& fd) {
    if (fd >= 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
    }
    fd = -1;
}

}  // namespace

OsFile::~OsFile() { Close(); }

OsFile::OsFile(OsFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lockFd_(std::exchange(other.lockFd_, -1)) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

bool OsFile::IsOpen() const { return fd_ >= 0; }

std::intptr_t OsFile::NativeHandle() const { return fd_; }

bool OsFile::Open(const std::string& path, OsAccess access, ShareMode share, OsCreate create) {
    Close();
    if (Injected()) return false;
    if (path.empty() || path.find('\0') != std::string::npos) {
        errno = ENOENT;
        return false;
    }
    const bool reads = access != OsAccess::Write;
    const bool writes = access != OsAccess::Read;
    const int accessFlags = access == OsAccess::Read ? O_RDONLY : access == OsAccess::Write ? O_WRONLY : O_RDWR;
    const int flags = accessFlags | O_NOCTTY;  // no O_CLOEXEC: the handle is inheritable
    const mode_t mode = 0666;                  // less the umask, as any new file

    int fd = -1;
    switch (create) {
        case OsCreate::OpenExisting:
            fd = RetryOpen(path.c_str(), flags);
            break;
        case OsCreate::CreateNew:
            fd = RetryOpen(path.c_str(), flags | O_CREAT | O_EXCL, mode);
            break;
        case OsCreate::OpenAlways:
        case OsCreate::CreateAlways:
            // Emptying waits until the share check has passed, as on Windows.
            fd = RetryOpen(path.c_str(), flags | O_CREAT, mode);
            break;
    }
    if (fd < 0) return false;

    struct stat st = {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) errno = EISDIR;
        CloseQuietly(fd);
        if (create == OsCreate::CreateNew) ::unlink(path.c_str());
        return false;
    }

    // Read locks need a readable descriptor; a write-only open keeps a second one for them.
    int lockFd = -1;
    if (!reads) {
        lockFd = RetryOpen(path.c_str(), O_RDONLY | O_NOCTTY);
        struct stat lockSt = {};
        if (lockFd >= 0 && (::fstat(lockFd, &lockSt) != 0 || lockSt.st_dev != st.st_dev ||
                            lockSt.st_ino != st.st_ino)) {
            CloseQuietly(lockFd);
        }
    }
    // A file nobody may read (mode -w-) gets no cross-open share check: there is no descriptor
    // to hold a shared lock with.
    const int markerFd = reads ? fd : lockFd;
    if ((markerFd >= 0 && !ClaimShare(markerFd, reads, writes, share)) ||
        (create == OsCreate::CreateAlways && ::ftruncate(fd, 0) != 0)) {
        const int saved = errno;
        CloseQuietly(lockFd);
        CloseQuietly(fd);
        if (create == OsCreate::CreateNew) ::unlink(path.c_str());  // it was made by this open
        errno = saved;
        return false;
    }
    fd_ = fd;
    lockFd_ = lockFd;
    return true;
}

std::int64_t OsFile::Read(void* buffer, std::size_t n) {
    if (Injected()) return -1;
    if (fd_ < 0) {
        errno = EBADF;
        return -1;
    }
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t chunk = n - done < (1u << 30) ? n - done : (1u << 30);
        const ssize_t got = ::read(fd_, out + done, chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

bool OsFile::Write(const void* buffer, std::size_t n) {
    if (Injected()) return false;
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t chunk = n - done < (1u << 30) ? n - done : (1u << 30);
        const ssize_t put = ::write(fd_, in + done, chunk);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool OsFile::Seek(std::int64_t distance, SeekOrigin origin, std::int64_t* newPosition) {
    if (Injected()) return false;
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    const int whence = origin == SeekOrigin::FromStart ? SEEK_SET : origin == SeekOrigin::FromEnd ? SEEK_END : SEEK_CUR;
    const off_t at = ::lseek(fd_, static_cast<off_t>(distance), whence);
    if (at < 0) return false;
    if (newPosition) *newPosition = at;
    return true;
}

std::int64_t OsFile::Position() {
    if (Injected()) return -1;
    if (fd_ < 0) return -1;
    return ::lseek(fd_, 0, SEEK_CUR);
}

std::int64_t OsFile::Length() {
    if (Injected()) return -1;
    struct stat st = {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool OsFile::Flush() {
    if (Injected()) return false;
    return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool OsFile::CopyPermissionsFrom(const std::string& path) {
    if (Injected()) return false;
    struct stat from = {};
    struct stat mine = {};
    if (fd_ < 0 || ::stat(path.c_str(), &from) != 0 || ::fstat(fd_, &mine) != 0) return false;
    if ((from.st_uid != mine.st_uid || from.st_gid != mine.st_gid) &&
        ::fchown(fd_, from.st_uid, from.st_gid) != 0) {
        // Only the owner's own saves can keep the owner; the permission bits still apply.
    }
    return ::fchmod(fd_, from.st_mode & 07777) == 0;
}

bool OsFile::Close() {
    if (fd_ < 0 && lockFd_ < 0) return true;
    const bool injected = Injected();
    CloseQuietly(lockFd_);
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    if (injected) errno = EIO;
    return ok && !injected;
}

bool OsQueryPath(const std::string& path, OsPathInfo& info) {
    info = OsPathInfo{};
    if (Injected()) return false;
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    info.exists = true;
    info.isRegularFile = S_ISREG(st.st_mode);
    // No write permission bit is read-only even for the superuser, as the read-only attribute is
    // on Windows; a read-only file system as well.
    info.readOnly = (st.st_mode & 0222) == 0 || (::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS));
    return true;
}

std::string OsResolveTarget(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string result;
    try {
        result = resolved;
    } catch (...) {
        result = path;
    }
    ::free(resolved);
    return result;
}

bool OsReplaceFile(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // Make the new directory entry durable. The replacement has happened either way; a file system
    // that cannot sync a directory is no reason to report the save as failed.
    try {
        const std::string::size_type slash = to.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
        const int dir = RetryOpen(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    } catch (...) {
    }
    return true;
}

bool OsRemoveFile(const std::string& path) {
    if (Injected()) return false;
    return ::unlink(path.c_str()) == 0;
}

}  // namespace tolvarinth

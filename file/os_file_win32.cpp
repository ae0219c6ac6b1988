// Win32 file layer: the W functions with paths converted explicitly from code page 936, real share
// modes, inheritable handles.

#include <windows.h>

#include <utility>

#include "file/codepage_win32.h"
#include "file/os_file.h"

namespace tolvarinth {

namespace {

bool Injected() {
    if (os_fault::NextCallFails()) {
        SetLastError(ERROR_WRITE_FAULT);
        return true;
    }
    return false;
}

DWORD ShareFlags(ShareMode share) {
    switch (share) {
        case ShareMode::DenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
        case ShareMode::DenyRead: return FILE_SHARE_WRITE;
        case ShareMode::DenyWrite: return FILE_SHARE_READ;
        case ShareMode::DenyAll: break;
    }
    return 0;
}

DWORD Disposition(OsCreate create) {
    switch (create) {
        case OsCreate::OpenExisting: return OPEN_EXISTING;
        case OsCreate::OpenAlways: return OPEN_ALWAYS;
        case OsCreate::CreateAlways: return CREATE_ALWAYS;
        case OsCreate::CreateNew: return CREATE_NEW;
    }
    return OPEN_EXISTING;
}

constexpr DWORD kLargestChunk = 1u << 30;

// The wide form of a path; false (nothing thrown) when it cannot be made.
bool Widen(const std::string& path, std::wstring& wide) {
    try {
        wide = WidenText(path);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (wide.empty() || wide.find(L'\0') != std::wstring::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return true;
}

}  // namespace

OsFile::~OsFile() { Close(); }

OsFile::OsFile(OsFile&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

bool OsFile::IsOpen() const { return handle_ != nullptr; }

std::intptr_t OsFile::NativeHandle() const { return reinterpret_cast<std::intptr_t>(handle_); }

bool OsFile::Open(const std::string& path, OsAccess access, ShareMode share, OsCreate create) {
    Close();
    if (Injected()) return false;
    std::wstring wide;
    if (!Widen(path, wide)) return false;
    const DWORD desired = access == OsAccess::Read    ? GENERIC_READ
                          : access == OsAccess::Write ? GENERIC_WRITE
                                                      : GENERIC_READ | GENERIC_WRITE;
    SECURITY_ATTRIBUTES inheritable = {};
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    HANDLE h = CreateFileW(wide.c_str(), desired, ShareFlags(share), &inheritable, Disposition(create),
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    return true;
}

std::int64_t OsFile::Read(void* buffer, std::size_t n) {
    if (Injected()) return -1;
    if (!handle_) return -1;
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const DWORD chunk = n - done < kLargestChunk ? static_cast<DWORD>(n - done) : kLargestChunk;
        DWORD got = 0;
        if (!ReadFile(handle_, out + done, chunk, &got, nullptr)) return -1;
        if (got == 0) break;
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

bool OsFile::Write(const void* buffer, std::size_t n) {
    if (Injected()) return false;
    if (!handle_) return false;
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const DWORD chunk = n - done < kLargestChunk ? static_cast<DWORD>(n - done) : kLargestChunk;
        DWORD put = 0;
        if (!WriteFile(handle_, in + done, chunk, &put, nullptr)) return false;
        if (put == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += put;
    }
    return true;
}

bool OsFile::Seek(std::int64_t distance, SeekOrigin origin, std::int64_t* newPosition) {
    if (Injected()) return false;
    if (!handle_) return false;
    const DWORD method = origin == SeekOrigin::FromStart ? FILE_BEGIN : origin == SeekOrigin::FromEnd ? FILE_END : FILE_CURRENT;
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER at;
    if (!SetFilePointerEx(handle_, move, &at, method)) return false;
    if (newPosition) *newPosition = at.QuadPart;
    return true;
}

std::int64_t OsFile::Position() {
    if (Injected()) return -1;
    if (!handle_) return -1;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER at;
    if (!SetFilePointerEx(handle_, zero, &at, FILE_CURRENT)) return -1;
    return at.QuadPart;
}

std::int64_t OsFile::Length() {
    if (Injected()) return -1;
    LARGE_INTEGER size;
    if (!handle_ || !GetFileSizeEx(handle_, &size)) return -1;
    return size.QuadPart;
}

bool OsFile::Flush() {
    if (Injected()) return false;
    return handle_ && FlushFileBuffers(handle_);
}

bool OsFile::CopyPermissionsFrom(const std::string& path) {
    if (Injected()) return false;
    if (!handle_) return false;
    std::wstring wide;
    if (!Widen(path, wide)) return false;
    const DWORD old = GetFileAttributesW(wide.c_str());
    if (old == INVALID_FILE_ATTRIBUTES) return false;
    // The folder's security applies to the new file as to any; the attributes a user sets on a
    // note (hidden, system, archive, not indexed) travel with it.
    const DWORD kept = old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                              FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept == 0) return true;
    FILE_BASIC_INFO info = {};
    info.FileAttributes = kept;
    return SetFileInformationByHandle(handle_, FileBasicInfo, &info, sizeof info) != 0;
}

bool OsFile::Close() {
    if (!handle_) return true;
    const bool injected = Injected();
    const bool ok = CloseHandle(handle_) != 0;
    handle_ = nullptr;
    if (injected) SetLastError(ERROR_WRITE_FAULT);
    return ok && !injected;
}

bool OsQueryPath(const std::string& path, OsPathInfo& info) {
    info = OsPathInfo{};
    if (Injected()) return false;
    std::wstring wide;
    if (!Widen(path, wide)) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    info.exists = true;
    info.isRegularFile = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    info.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return true;
}

std::string OsResolveTarget(const std::string& path) { return path; }

bool OsReplaceFile(const std::string& from, const std::string& to) {
    if (Injected()) return false;
    std::wstring wideFrom;
    std::wstring wideTo;
    return Widen(from, wideFrom) && Widen(to, wideTo) &&
           MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool OsRemoveFile(const std::string& path) {
    if (Injected()) return false;
    std::wstring wide;
    return Widen(path, wide) && DeleteFileW(wide.c_str()) != 0;
}

}  // namespace tolvarinth

#include "file/plain_file.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "crypto/secret_text.h"

namespace tolvarinth {

namespace {

constexpr std::int64_t kLargestPosition = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kCipherChunk = 64 * 1024;

OsAccess AccessOf(OpenMode mode) {
    switch (mode) {
        case OpenMode::ReadOnly: return OsAccess::Read;
        case OpenMode::WriteOnly:
        case OpenMode::Rewrite:
        case OpenMode::WriteKeep: return OsAccess::Write;
        case OpenMode::ReadWrite:
        case OpenMode::ReadWriteKeep: return OsAccess::ReadWrite;
    }
    return OsAccess::Read;
}

OsCreate CreationOf(OpenMode mode) {
    switch (mode) {
        case OpenMode::Rewrite: return OsCreate::CreateAlways;
        case OpenMode::WriteKeep:
        case OpenMode::ReadWriteKeep: return OsCreate::OpenAlways;
        default: return OsCreate::OpenExisting;
    }
}

}  // namespace

bool IsValidOpenMode(OpenMode mode) {
    const int value = static_cast<int>(mode);
    return value >= static_cast<int>(OpenMode::ReadOnly) && value <= static_cast<int>(OpenMode::ReadWriteKeep);
}

bool IsValidShareMode(ShareMode share) {
    const int value = static_cast<int>(share);
    return value >= static_cast<int>(ShareMode::DenyNone) && value <= static_cast<int>(ShareMode::DenyAll);
}

bool PlainFile::Open(const std::string& path, OpenMode mode, ShareMode share) {
    return file_.Open(path, AccessOf(mode), share, CreationOf(mode));
}

std::int64_t PlainFile::Read(std::uint8_t* buffer, std::size_t n) { return file_.Read(buffer, n); }

bool PlainFile::Write(const std::uint8_t* buffer, std::size_t n) { return n == 0 || file_.Write(buffer, n); }

bool PlainFile::Seek(SeekOrigin origin, std::int32_t distance) {
    const std::int64_t before = file_.Position();
    if (before < 0) return false;
    std::int64_t after = 0;
    if (!file_.Seek(distance, origin, &after)) return false;
    if (after <= kLargestPosition) return true;
    file_.Seek(before, SeekOrigin::FromStart);  // beyond what a 32-bit position can name
    return false;
}

std::int32_t PlainFile::GetPosition() {
    const std::int64_t at = file_.Position();
    return at < 0 || at > kLargestPosition ? -1 : static_cast<std::int32_t>(at);
}

std::int32_t PlainFile::GetLength() {
    const std::int64_t length = file_.Length();
    return length < 0 || length > kLargestPosition ? -1 : static_cast<std::int32_t>(length);
}

bool PlainFile::Close() { return file_.Close(); }

EncryptedFile::EncryptedFile(std::string_view password, std::int32_t prefix)
    : prefix_(prefix < 0 ? 0 : prefix),
      readBase_(BaseState(password)),
      readKeyText_(KeyText(password)),
      writeBase_(readBase_),
      writeKeyText_(readKeyText_) {}

EncryptedFile::~EncryptedFile() {
    WipeBytes(&readBase_, sizeof readBase_);
    WipeBytes(readKeyText_.data(), readKeyText_.size());
    WipeBytes(&writeBase_, sizeof writeBase_);
    WipeBytes(writeKeyText_.data(), writeKeyText_.size());
}

std::int64_t EncryptedFile::Read(std::uint8_t* buffer, std::size_t n) {
    const std::int64_t p = file_.Position();
    if (p < 0 || p > kLargestPosition) return -1;
    n = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(n), kLargestPosition - p));
    const std::int64_t got = PlainFile::Read(buffer, n);
    if (got > 0) {
        Transform(readBase_, readKeyText_, prefix_, static_cast<std::int32_t>(p), buffer,
                  static_cast<std::size_t>(got));
    }
    return got;
}

bool EncryptedFile::Write(const std::uint8_t* buffer, std::size_t n) {
    if (n == 0) return true;
    const std::int64_t p = file_.Position();
    if (p < 0 || static_cast<std::uint64_t>(p) + n > static_cast<std::uint64_t>(kLargestPosition)) return false;
    // The caller's bytes are never changed: each piece is enciphered in a copy.
    std::vector<std::uint8_t> copy;
    try {
        copy.resize(std::min(n, kCipherChunk));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t done = 0; done < n;) {
        const std::size_t piece = std::min(n - done, copy.size());
        std::copy(buffer + done, buffer + done + piece, copy.begin());
        Transform(writeBase_, writeKeyText_, prefix_, static_cast<std::int32_t>(p + static_cast<std::int64_t>(done)),
                  copy.data(), piece);
        if (!PlainFile::Write(copy.data(), piece)) return false;
        done += piece;
    }
    return true;
}

}  // namespace tolvarinth

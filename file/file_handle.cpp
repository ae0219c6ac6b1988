#include "file/file_handle.h"

#include <memory>
#include <new>

#include "file/handle_registry.h"
#include "file/plain_file.h"

namespace tolvarinth {

namespace {

PlainFile* Lookup(FileHandle handle) { return HandleRegistry::Instance().Find(handle); }

// After a read error the position rests at the end of the file.
std::string ReadFailed(PlainFile& file) {
    file.Seek(SeekOrigin::FromEnd, 0);
    return {};
}

std::size_t TextLength(const std::uint8_t* bytes, std::size_t got, std::size_t& consumed) {
    std::size_t k = 0;
    while (k < got) {
        const std::uint8_t byte = bytes[k];
        if (byte == 0x00 || byte == 0x1A) {
            consumed = k;  // the terminator is left unread
            return k;
        }
        if (byte >= 0x80 && k + 1 < got) {
            if (bytes[k + 1] == 0x00) {
                consumed = k + 1;  // the position rests on the 0x00
                return k;
            }
            k += 2;  // a double-byte character; its second byte never ends the text
            continue;
        }
        ++k;  // also a lead byte that is the last byte read
    }
    consumed = got;
    return got;
}

}  // namespace

FileHandle OpenEncryptedFile(const std::string& path, OpenMode mode, ShareMode share, std::string_view password,
                             std::int32_t prefix) {
    try {
        if (path.empty() || !IsValidOpenMode(mode) || !IsValidShareMode(share)) return kEmptyHandle;
        const bool plain = password.empty();
        std::unique_ptr<PlainFile> file =
            plain ? std::make_unique<PlainFile>() : std::make_unique<EncryptedFile>(password, prefix);
        if (!file->Open(path, mode, share)) return kEmptyHandle;
        return HandleRegistry::Instance().Add(std::move(file), plain ? FileKind::Plain : FileKind::Encrypted);
    } catch (...) {
        return kEmptyHandle;
    }
}

FileHandle OpenFile(const std::string& path, OpenMode mode, ShareMode share) {
    return OpenEncryptedFile(path, mode, share, {}, 0);
}

std::string ReadText(FileHandle handle, std::optional<std::int32_t> n) {
    PlainFile* file = Lookup(handle);
    if (!file || (n && *n <= 0)) return {};
    try {
        std::int32_t wanted = 0;
        if (n) {
            wanted = *n;
        } else {
            wanted = file->GetLength();
            if (wanted <= 0) return {};
        }
        const std::int32_t p = file->GetPosition();
        const std::int32_t length = file->GetLength();
        if (p < 0 || length < 0) return ReadFailed(*file);
        // Only what the file still holds is allocated: asking for more gives only what remains.
        const std::int32_t remaining = length > p ? length - p : 0;
        const std::size_t size = static_cast<std::size_t>(remaining < wanted ? remaining : wanted);
        if (size == 0) return {};
        std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
        if (!buffer) return ReadFailed(*file);
        const std::int64_t got = file->Read(buffer.get(), size);
        if (got < 0) return ReadFailed(*file);
        std::size_t consumed = 0;
        const std::size_t textLength = TextLength(buffer.get(), static_cast<std::size_t>(got), consumed);
        if (consumed != static_cast<std::size_t>(got) &&
            !file->Seek(SeekOrigin::FromStart, p + static_cast<std::int32_t>(consumed))) {
            return ReadFailed(*file);
        }
        return std::string(reinterpret_cast<const char*>(buffer.get()), textLength);
    } catch (...) {
        return ReadFailed(*file);
    }
}

bool WriteText(FileHandle handle, std::initializer_list<std::string_view> texts) {
    PlainFile* file = Lookup(handle);
    if (!file) return false;
    const std::int32_t start = file->GetPosition();
    if (start < 0) return false;
    try {
        for (std::string_view text : texts) {
            if (!text.empty() && !file->Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) {
                file->Seek(SeekOrigin::FromStart, start);  // bytes already written stay
                return false;
            }
        }
        return true;
    } catch (...) {
        file->Seek(SeekOrigin::FromStart, start);
        return false;
    }
}

bool SeekFile(FileHandle handle, SeekOrigin origin, std::int32_t distance) {
    PlainFile* file = Lookup(handle);
    const int value = static_cast<int>(origin);
    if (!file || value < static_cast<int>(SeekOrigin::FromStart) || value > static_cast<int>(SeekOrigin::FromCurrent)) {
        return false;
    }
    return file->Seek(origin, distance);
}

std::int32_t FileLength(FileHandle handle) {
    PlainFile* file = Lookup(handle);
    return file ? file->GetLength() : -1;
}

void CloseFile(FileHandle handle) {
    std::unique_ptr<PlainFile> file = HandleRegistry::Instance().Remove(handle);
    if (file) file->Close();  // a file error while closing changes nothing for the caller
}

}  // namespace tolvarinth

#pragma once
// The file objects behind a FileHandle: a PlainFile, and an EncryptedFile that enciphers every
// byte at or beyond its plaintext prefix by absolute position. Positions and lengths are 32-bit
// signed, as the note format's are.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/note_cipher.h"
#include "file/file_handle.h"
#include "file/os_file.h"

namespace tolvarinth {

class PlainFile {
public:
    PlainFile() = default;
    virtual ~PlainFile() = default;
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;

    // Binary mode, with the access, sharing and creation behaviour the mode and share mode ask.
    bool Open(const std::string& path, OpenMode mode, ShareMode share);
    // Reads up to n bytes: the count read (0 at the end), -1 on a file error.
    virtual std::int64_t Read(std::uint8_t* buffer, std::size_t n);
    // Writes all n bytes; false on a file error.
    virtual bool Write(const std::uint8_t* buffer, std::size_t n);
    bool Seek(SeekOrigin origin, std::int32_t distance);
    std::int32_t GetPosition();  // -1 on a file error
    std::int32_t GetLength();    // -1 on a file error
    bool Close();

protected:
    OsFile file_;
};

class EncryptedFile : public PlainFile {
public:
    EncryptedFile(std::string_view password, std::int32_t prefix);  // password not empty
    ~EncryptedFile() override;

    std::int64_t Read(std::uint8_t* buffer, std::size_t n) override;
    bool Write(const std::uint8_t* buffer, std::size_t n) override;

private:
    std::int32_t prefix_;
    CipherState readBase_;
    KeyTextBytes readKeyText_;
    CipherState writeBase_;
    KeyTextBytes writeKeyText_;
};

// Open modes and share modes as the numbers callers may pass.
bool IsValidOpenMode(OpenMode mode);
bool IsValidShareMode(ShareMode share);

}  // namespace tolvarinth

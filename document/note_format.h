#pragma once
// The note file: a clear 100-byte header (signature, password check, "+") and the body,
// enciphered from offset 100 when the note has a password.

#include <cstdint>
#include <string>
#include <string_view>

#include "file/file_handle.h"

namespace tolvarinth {

constexpr std::int32_t kNoteSignatureLength = 67;
constexpr std::int32_t kPasswordCheckLength = 32;
constexpr std::int32_t kNoteHeaderLength = 100;

// The 67 bytes every note file begins with.
std::string_view NoteSignature();

struct NoteHeader {
    FileHandle handle = kEmptyHandle;  // owned until CloseNoteHeader
    bool signatureMatched = false;
    std::string passwordCheck;  // at most 32 bytes; empty unless the signature matched
};

// Writes a complete note. The note already at path is replaced only once the new one is
// completely on disk; on failure it is left exactly as it was.
bool WriteNoteFile(const std::string& path, std::string_view password, std::string_view text);

NoteHeader OpenNoteHeader(const std::string& path);
void CloseNoteHeader(NoteHeader& header);

// Reads the whole body with the given password (not checked here). False when the body cannot
// be read whole. Every byte comes back, 0x1A included, except that a 0x00 byte (which the
// editor's text cannot hold) comes back as a space.
bool ReadNoteBody(const std::string& path, std::string_view password, std::string& text);

}  // namespace tolvarinth

#pragma once
// File handles: the program's only access to files. A handle names a plain file or an encrypted
// file (bytes at or beyond the plaintext prefix enciphered by position). No operation throws;
// failures come back as an empty handle, false, -1 or the empty text.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tolvarinth {

using FileHandle = std::uint32_t;  // 0 is the empty handle
constexpr FileHandle kEmptyHandle = 0;

enum class OpenMode : int { ReadOnly = 1, WriteOnly, ReadWrite, Rewrite, WriteKeep, ReadWriteKeep };
enum class ShareMode : int { DenyNone = 1, DenyRead, DenyWrite, DenyAll };
enum class SeekOrigin : int { FromStart = 1, FromEnd, FromCurrent };

FileHandle OpenFile(const std::string& path, OpenMode mode = OpenMode::ReadWrite,
                    ShareMode share = ShareMode::DenyNone);
FileHandle OpenEncryptedFile(const std::string& path, OpenMode mode, ShareMode share,
                             std::string_view password, std::int32_t prefix);

// Reads a text: at most n bytes (the whole file's length when n is absent), ending early at a
// 0x00 or 0x1A byte as the text rules say.
std::string ReadText(FileHandle handle, std::optional<std::int32_t> n = std::nullopt);
bool WriteText(FileHandle handle, std::initializer_list<std::string_view> texts);
bool SeekFile(FileHandle handle, SeekOrigin origin, std::int32_t distance);
std::int32_t FileLength(FileHandle handle);
void CloseFile(FileHandle handle);

}  // namespace tolvarinth

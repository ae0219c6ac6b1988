#pragma once
// One character of code page 936 to Unicode and back, as the operating system converts it (iconv on
// POSIX systems, the Windows code page functions on Windows). The streaming converters build their
// tables from these, so both platforms convert through the same code.

#include <string>
#include <string_view>

namespace etxt {

// One code page 936 character (one byte, or a lead byte and a trail byte) to its code point.
// False when the code page has no character for these bytes.
bool DecodeCodePageCharacter(std::string_view bytes, char32_t& codePoint);

// One code point (U+0080 to U+FFFF, surrogates excluded) to its code page 936 bytes, exactly:
// false when the code page cannot hold it, never a look-alike substitute.
bool EncodeCodePageCharacter(char32_t codePoint, std::string& bytes);

}  // namespace etxt

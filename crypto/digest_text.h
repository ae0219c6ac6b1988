#pragma once
// DigestText: the MD5 digest (RFC 1321) of a byte string as 32 lowercase hexadecimal characters.

#include <string>
#include <string_view>

namespace tolvarinth {

std::string DigestText(std::string_view bytes);

}  // namespace tolvarinth

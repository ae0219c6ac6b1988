#include "crypto/digest_text.h"

#include "crypto/md5.h"
#include "crypto/secret_text.h"

namespace tolvarinth {

std::string DigestText(std::string_view bytes) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    Md5Digest digest = Md5Of(bytes);
    std::string text;
    text.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0f];
    }
    WipeBytes(digest.data(), digest.size());
    return text;
}

}  // namespace tolvarinth

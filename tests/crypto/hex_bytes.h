#pragma once
// Hexadecimal helpers shared by the crypto tests.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarinth::testing {

inline std::string ToHex(const std::uint8_t* bytes, std::size_t n) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t k = 0; k < n; ++k) {
        text += kDigits[bytes[k] >> 4];
        text += kDigits[bytes[k] & 0x0f];
    }
    return text;
}

template <typename Bytes>
std::string ToHex(const Bytes& bytes) {
    return ToHex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// Accepts spaces between the digits, as the published vector tables are written.
inline std::vector<std::uint8_t> FromHex(std::string_view text) {
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::vector<std::uint8_t> bytes;
    int pending = -1;
    for (char c : text) {
        if (c == ' ') continue;
        if (pending < 0) {
            pending = nibble(c);
        } else {
            bytes.push_back(static_cast<std::uint8_t>(pending << 4 | nibble(c)));
            pending = -1;
        }
    }
    return bytes;
}

}  // namespace tolvarinth::testing

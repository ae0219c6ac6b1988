#pragma once
// MD5 (RFC 1321), incremental: feed the message in any number of pieces, then take the digest.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tolvarinth {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5 {
public:
    Md5();
    ~Md5();  // wipes the buffered message bytes and the chaining values
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void Update(const std::uint8_t* bytes, std::size_t n);
    void Update(std::string_view bytes);
    // Pads the message and returns its digest; the object then starts a new, empty message.
    Md5Digest Final();

private:
    void Reset();
    void Compress(const std::uint8_t* block);

    std::array<std::uint32_t, 4> chain_{};
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // message length in bytes (the bit count is taken modulo 2^64)
};

// The digest of one whole message.
Md5Digest Md5Of(std::string_view bytes);

}  // namespace tolvarinth

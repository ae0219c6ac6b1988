#include "crypto/md5.h"

#include "crypto/secret_text.h"

namespace tolvarinth {
namespace {

// T[i] = floor(2^32 * |sin(i + 1)|), RFC 1321 section 3.4.
constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left-rotation amounts, four per round.
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

std::uint32_t LoadLittleEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void StoreLittleEndian32(std::uint32_t value, std::uint8_t* p) {
    for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(value >> (8 * k));
}

void StoreLittleEndian64(std::uint64_t value, std::uint8_t* p) {
    for (int k = 0; k < 8; ++k) p[k] = static_cast<std::uint8_t>(value >> (8 * k));
}

std::uint32_t RotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

Md5::Md5() { Reset(); }

Md5::~Md5() {
    WipeBytes(chain_.data(), sizeof chain_);
    WipeBytes(buffer_.data(), buffer_.size());
}

void Md5::Reset() {
    chain_ = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    WipeBytes(buffer_.data(), buffer_.size());
    buffered_ = 0;
    length_ = 0;
}

void Md5::Compress(const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int k = 0; k < 16; ++k) x[k] = LoadLittleEndian32(block + 4 * k);

    std::uint32_t a = chain_[0], b = chain_[1], c = chain_[2], d = chain_[3];
    for (int step = 0; step < 64; ++step) {
        const int round = step / 16;
        std::uint32_t f = 0;
        int word = 0;
        switch (round) {
            case 0: f = (b & c) | (~b & d); word = step; break;
            case 1: f = (b & d) | (c & ~d); word = (5 * step + 1) % 16; break;
            case 2: f = b ^ c ^ d; word = (3 * step + 5) % 16; break;
            default: f = c ^ (b | ~d); word = (7 * step) % 16; break;
        }
        const std::uint32_t rotated =
            RotateLeft(a + f + x[word] + kSine[step], kShift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    chain_[0] += a;
    chain_[1] += b;
    chain_[2] += c;
    chain_[3] += d;
    WipeBytes(x, sizeof x);
}

void Md5::Update(const std::uint8_t* bytes, std::size_t n) {
    length_ += n;
    if (buffered_ > 0) {
        const std::size_t take = n < 64 - buffered_ ? n : 64 - buffered_;
        for (std::size_t k = 0; k < take; ++k) buffer_[buffered_ + k] = bytes[k];
        buffered_ += take;
        bytes += take;
        n -= take;
        if (buffered_ < 64) return;
        Compress(buffer_.data());
        buffered_ = 0;
    }
    for (; n >= 64; bytes += 64, n -= 64) Compress(bytes);
    for (std::size_t k = 0; k < n; ++k) buffer_[k] = bytes[k];
    buffered_ = n;
}

void Md5::Update(std::string_view bytes) {
    Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

Md5Digest Md5::Final() {
    // One 0x80 byte, zeros up to 56 bytes modulo 64, then the bit count, little-endian.
    std::uint8_t tail[72] = {0x80};
    const std::size_t padding = buffered_ < 56 ? 56 - buffered_ : 120 - buffered_;
    StoreLittleEndian64(length_ * 8, tail + padding);
    Update(tail, padding + 8);

    Md5Digest digest;
    for (int k = 0; k < 4; ++k) StoreLittleEndian32(chain_[k], digest.data() + 4 * k);
    Reset();
    return digest;
}

Md5Digest Md5Of(std::string_view bytes) {
    Md5 md5;
    md5.Update(bytes);
    return md5.Final();
}

}  // namespace tolvarinth

#pragma once
// The note cipher: a keystream that depends only on the password and the byte's file position.
// Bytes below the plaintext prefix are never touched.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "crypto/rc4.h"

namespace tolvarinth {

constexpr std::int32_t kCipherBlockSize = 4096;

using KeyTextBytes = std::array<std::uint8_t, 32>;

// The password's DigestText with each pair of characters exchanged, then reversed.
KeyTextBytes KeyText(std::string_view password);
// The RC4 state keyed by the password's bytes (password not empty).
CipherState BaseState(std::string_view password);

// Enciphers or deciphers bytes[0..n) as the bytes at file positions position..position+n-1.
// Bytes at positions below the prefix (a negative prefix counts as 0) are left as they are.
void Transform(const CipherState& base, const KeyTextBytes& keyText, std::int32_t prefix,
               std::int32_t position, std::uint8_t* bytes, std::size_t n);

// The same keystream for sequential access: processes consecutive runs of a file in order,
// carrying the block words from run to run so a whole file costs one pass. The key material it
// holds is wiped when it is destroyed.
class NoteCipherStream {
public:
    NoteCipherStream(const CipherState& base, const KeyTextBytes& keyText, std::int32_t prefix,
                     std::int64_t position);
    ~NoteCipherStream();
    // Applies the keystream to the next n bytes of the file and advances the position.
    void Apply(std::uint8_t* bytes, std::size_t n);
    // The file position of the next byte Apply will process.
    std::int64_t Position() const { return position_; }

private:
    // Keys the block holding position_ and moves its keystream to the position's offset.
    void StartBlock(std::int64_t block, std::size_t offset);

    CipherState words_{};      // base keystream positioned at the word of block next_word_
    CipherState block_{};      // keystream of block block_index_, positioned at position_
    KeyTextBytes keyText_{};
    std::int64_t prefix_ = 0;
    std::int64_t position_ = 0;
    std::int64_t block_index_ = -1;  // block whose keystream block_ holds, -1 for none
    std::int64_t next_word_ = 0;     // block whose word words_ yields next
};

}  // namespace tolvarinth

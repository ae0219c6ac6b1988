#include "crypto/note_cipher.h"

#include <algorithm>
#include <string>
#include <utility>

#include "crypto/digest_text.h"
#include "crypto/secret_text.h"

namespace tolvarinth {
namespace {

constexpr std::size_t kBlockWordSize = 4;
constexpr std::size_t kBlockKeySize = 40;
constexpr std::size_t kBlockDiscard = 36;  // keystream bytes dropped before a block's offset 0

}  // namespace

KeyTextBytes KeyText(std::string_view password) {
    std::string digest = DigestText(password);
    for (std::size_t k = 0; k + 1 < digest.size(); k += 2) std::swap(digest[k], digest[k + 1]);
    std::reverse(digest.begin(), digest.end());
    KeyTextBytes keyText{};
    std::copy(digest.begin(), digest.end(), keyText.begin());
    WipeBytes(digest.data(), digest.size());
    return keyText;
}

CipherState BaseState(std::string_view password) {
    return KeySchedule(reinterpret_cast<const std::uint8_t*>(password.data()), password.size());
}

void Transform(const CipherState& base, const KeyTextBytes& keyText, std::int32_t prefix,
               std::int32_t position, std::uint8_t* bytes, std::size_t n) {
    // A run is the same whether it is processed alone or as part of a longer sequence, so one
    // fresh stream over it gives exactly the per-position keystream.
    NoteCipherStream stream(base, keyText, prefix, position);
    stream.Apply(bytes, n);
}

NoteCipherStream::NoteCipherStream(const CipherState& base, const KeyTextBytes& keyText,
                                   std::int32_t prefix, std::int64_t position)
    : words_(base), keyText_(keyText), prefix_(prefix < 0 ? 0 : prefix), position_(position) {}

NoteCipherStream::~NoteCipherStream() {
    WipeBytes(&words_, sizeof words_);
    WipeBytes(&block_, sizeof block_);
    WipeBytes(keyText_.data(), keyText_.size());
}

void NoteCipherStream::Apply(std::uint8_t* bytes, std::size_t n) {
    if (n == 0) return;
    if (position_ < prefix_) {
        const std::uint64_t clear = static_cast<std::uint64_t>(prefix_ - position_);
        if (clear >= n) {
            position_ += static_cast<std::int64_t>(n);
            return;
        }
        bytes += clear;
        n -= static_cast<std::size_t>(clear);
        position_ = prefix_;
    }
    while (n > 0) {
        const std::int64_t block = position_ / kCipherBlockSize;
        const std::size_t offset = static_cast<std::size_t>(position_ % kCipherBlockSize);
        if (block != block_index_) StartBlock(block, offset);
        const std::size_t run = std::min(n, static_cast<std::size_t>(kCipherBlockSize) - offset);
        XorKeystream(block_, bytes, run);
        bytes += run;
        n -= run;
        position_ += static_cast<std::int64_t>(run);
    }
}

void NoteCipherStream::StartBlock(std::int64_t block, std::size_t offset) {
    // Blocks are only ever started in increasing order, so the word generator moves forward only.
    SkipKeystream(words_, kBlockWordSize * static_cast<std::size_t>(block - next_word_));
    std::uint8_t key[kBlockKeySize] = {};
    XorKeystream(words_, key, kBlockWordSize);
    next_word_ = block + 1;

    // BlockKey: the block word, the key text, then (word read little-endian) XOR block number,
    // stored little-endian. Block numbers enter the key as 32-bit values.
    std::copy(keyText_.begin(), keyText_.end(), key + kBlockWordSize);
    const std::uint32_t tail =
        (static_cast<std::uint32_t>(key[0]) | static_cast<std::uint32_t>(key[1]) << 8 |
         static_cast<std::uint32_t>(key[2]) << 16 | static_cast<std::uint32_t>(key[3]) << 24) ^
        static_cast<std::uint32_t>(block);
    for (std::size_t k = 0; k < 4; ++k) key[36 + k] = static_cast<std::uint8_t>(tail >> (8 * k));

    block_ = KeySchedule(key, kBlockKeySize);
    WipeBytes(key, sizeof key);
    SkipKeystream(block_, kBlockDiscard + offset);
    block_index_ = block;
}

}  // namespace tolvarinth

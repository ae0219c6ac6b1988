#pragma once
// RC4: the key schedule and the output step of the published algorithm.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvarinth {

struct CipherState {
    std::array<std::uint8_t, 256> s{};
    std::uint8_t i = 0;
    std::uint8_t j = 0;
};

// Key bytes are used cyclically; an empty key (never used here) leaves the identity permutation.
CipherState KeySchedule(const std::uint8_t* key, std::size_t length);
void SkipKeystream(CipherState& state, std::size_t n);
void XorKeystream(CipherState& state, std::uint8_t* bytes, std::size_t n);

}  // namespace tolvarinth

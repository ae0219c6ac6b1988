#include "crypto/rc4.h"

#include <utility>

namespace tolvarinth {
namespace {

// One output step: i = i + 1, j = j + S[i], exchange S[i] and S[j], output S[S[i] + S[j]].
inline std::uint8_t NextByte(CipherState& state) {
    state.i = static_cast<std::uint8_t>(state.i + 1);
    const std::uint8_t si = state.s[state.i];
    state.j = static_cast<std::uint8_t>(state.j + si);
    const std::uint8_t sj = state.s[state.j];
    state.s[state.i] = sj;
    state.s[state.j] = si;
    return state.s[static_cast<std::uint8_t>(si + sj)];
}

}  // namespace

CipherState KeySchedule(const std::uint8_t* key, std::size_t length) {
    CipherState state;
    for (int k = 0; k < 256; ++k) state.s[k] = static_cast<std::uint8_t>(k);
    if (length == 0) return state;  // no key: callers never ask for this; leave the identity
    std::uint8_t j = 0;
    std::size_t keyIndex = 0;
    for (int k = 0; k < 256; ++k) {
        j = static_cast<std::uint8_t>(j + state.s[k] + key[keyIndex]);
        std::swap(state.s[k], state.s[j]);
        if (++keyIndex == length) keyIndex = 0;
    }
    state.i = 0;
    state.j = 0;
    return state;
}

void SkipKeystream(CipherState& state, std::size_t n) {
    while (n-- > 0) NextByte(state);
}

void XorKeystream(CipherState& state, std::uint8_t* bytes, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) bytes[k] ^= NextByte(state);
}

}  // namespace tolvarinth

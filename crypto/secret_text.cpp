#include "crypto/secret_text.h"

namespace tolvarinth {

void WipeBytes(void* data, std::size_t n) {
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    while (n-- > 0) *p++ = 0;
}

SecretText& SecretText::operator=(const SecretText& other) {
    if (this != &other) {
        Wipe();
        value_ = other.value_;
    }
    return *this;
}

SecretText& SecretText::operator=(SecretText&& other) noexcept {
    if (this != &other) {
        Wipe();
        value_ = other.value_;
        other.Wipe();
    }
    return *this;
}

void SecretText::Wipe() {
    // Wipe the whole buffer, not just the characters in use: a shorter text may have replaced a
    // longer one in the same storage.
    value_.resize(value_.capacity());
    WipeBytes(value_.data(), value_.size());
    value_.clear();
}

}  // namespace tolvarinth

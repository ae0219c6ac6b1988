#pragma once
// SecretText: a byte string (a password) whose bytes are wiped whenever it is replaced or released.

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvarinth {

// Overwrites n bytes in a way the optimiser keeps.
void WipeBytes(void* data, std::size_t n);

class SecretText {
public:
    SecretText() = default;
    SecretText(std::string_view text) : value_(text) {}  // NOLINT: implicit by design
    SecretText(const SecretText& other) : value_(other.value_) {}
    SecretText(SecretText&& other) noexcept : value_(other.value_) { other.Wipe(); }
    SecretText& operator=(const SecretText& other);
    SecretText& operator=(SecretText&& other) noexcept;
    ~SecretText() { Wipe(); }

    const std::string& str() const { return value_; }
    std::string_view view() const { return value_; }
    bool empty() const { return value_.empty(); }
    std::size_t size() const { return value_.size(); }

    // Empties the text, overwriting its bytes (and the string's whole capacity) first.
    void Wipe();

    friend bool operator==(const SecretText& a, const SecretText& b) { return a.value_ == b.value_; }
    friend bool operator!=(const SecretText& a, const SecretText& b) { return !(a == b); }

private:
    std::string value_;
};

}  // namespace tolvarinth

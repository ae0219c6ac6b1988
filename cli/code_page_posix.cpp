// Code page 936 through iconv. glibc's "CP936" is the Windows code page (0x80 is the euro sign).
#include "cli/code_page.h"

#include <iconv.h>

#include <cerrno>

namespace etxt {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of in, or nothing; out holds at most outCapacity bytes.
    bool Convert(const char* in, std::size_t inLength, char* out, std::size_t outCapacity,
                 std::size_t& outLength) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        std::size_t inLeft = inLength;
        std::size_t outLeft = outCapacity;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
        if (inLeft != 0) return false;
        outLength = outCapacity - outLeft;
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

bool DecodeCodePageCharacter(std::string_view bytes, char32_t& codePoint) {
    static Converter converter("UTF-32LE", "CP936");
    unsigned char out[8];
    std::size_t outLength = 0;
    if (!converter.Convert(bytes.data(), bytes.size(), reinterpret_cast<char*>(out), sizeof out,
                           outLength) ||
        outLength != 4) {
        return false;
    }
    codePoint = static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                      (static_cast<unsigned long>(out[3]) << 24));
    return true;
}

bool EncodeCodePageCharacter(char32_t codePoint, std::string& bytes) {
    static Converter converter("CP936", "UTF-32LE");
    const unsigned char in[4] = {static_cast<unsigned char>(codePoint & 0xFF),
                                 static_cast<unsigned char>((codePoint >> 8) & 0xFF),
                                 static_cast<unsigned char>((codePoint >> 16) & 0xFF),
                                 static_cast<unsigned char>((codePoint >> 24) & 0xFF)};
    char out[8];
    std::size_t outLength = 0;
    if (!converter.Convert(reinterpret_cast<const char*>(in), sizeof in, out, sizeof out, outLength) ||
        outLength == 0 || outLength > 2) {
        return false;
    }
    bytes.assign(out, outLength);
    return true;
}

}  // namespace etxt

// Code page 936 through iconv. glibc's "CP936" is the Windows code page (0x80 is the euro sign)
// except for the private use mappings, added here.
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

// Code page 936 as Windows defines it also maps its user-defined areas and a few further codes
// to the private use area, which iconv leaves out: runs of consecutive codes (trail byte 0x7F
// skipped) on consecutive code points.
struct PrivateUseRun {
    unsigned short firstCode;
    unsigned short firstCodePoint;
    unsigned short count;
};

constexpr PrivateUseRun kPrivateUseRuns[] = {
    {0xA140, 0xE4C6, 96}, {0xA240, 0xE526, 96}, {0xA2AB, 0xE766, 6}, {0xA2E3, 0xE76C, 2},
    {0xA2EF, 0xE76E, 2}, {0xA2FD, 0xE770, 2}, {0xA340, 0xE586, 96}, {0xA440, 0xE5E6, 96},
    {0xA4F4, 0xE772, 11}, {0xA540, 0xE646, 96}, {0xA5F7, 0xE77D, 8}, {0xA640, 0xE6A6, 96},
    {0xA6B9, 0xE785, 8}, {0xA6D9, 0xE78D, 7}, {0xA6EC, 0xE794, 2}, {0xA6F3, 0xE796, 1},
    {0xA6F6, 0xE797, 9}, {0xA740, 0xE706, 96}, {0xA7C2, 0xE7A0, 15}, {0xA7F2, 0xE7AF, 13},
    {0xA896, 0xE7BC, 11}, {0xA8BC, 0xE7C7, 1}, {0xA8BF, 0xE7C8, 1}, {0xA8C1, 0xE7C9, 4},
    {0xA8EA, 0xE7CD, 21}, {0xA958, 0xE7E2, 1}, {0xA95B, 0xE7E3, 1}, {0xA95D, 0xE7E4, 3},
    {0xA989, 0xE7E7, 13}, {0xA997, 0xE7F4, 13}, {0xA9F0, 0xE801, 15}, {0xAAA1, 0xE000, 94},
    {0xABA1, 0xE05E, 94}, {0xACA1, 0xE0BC, 94}, {0xADA1, 0xE11A, 94}, {0xAEA1, 0xE178, 94},
    {0xAFA1, 0xE1D6, 94}, {0xD7FA, 0xE810, 5}, {0xF8A1, 0xE234, 94}, {0xF9A1, 0xE292, 94},
    {0xFAA1, 0xE2F0, 94}, {0xFBA1, 0xE34E, 94}, {0xFCA1, 0xE3AC, 94}, {0xFDA1, 0xE40A, 94},
    {0xFE50, 0xE815, 80}, {0xFEA1, 0xE468, 94},
};

bool DecodePrivateUse(std::string_view bytes, char32_t& codePoint) {
    if (bytes.size() != 2) return false;
    const unsigned lead = static_cast<unsigned char>(bytes[0]);
    const unsigned trail = static_cast<unsigned char>(bytes[1]);
    if (trail == 0x7F) return false;
    for (const PrivateUseRun& run : kPrivateUseRuns) {
        const unsigned firstTrail = run.firstCode & 0xFF;
        if ((run.firstCode >> 8) != lead || trail < firstTrail) continue;
        const unsigned index = trail - firstTrail - (firstTrail < 0x7F && trail > 0x7F ? 1 : 0);
        if (index < run.count) {
            codePoint = run.firstCodePoint + index;
            return true;
        }
    }
    return false;
}

bool EncodePrivateUse(char32_t codePoint, std::string& bytes) {
    for (const PrivateUseRun& run : kPrivateUseRuns) {
        if (codePoint < run.firstCodePoint || codePoint >= run.firstCodePoint + run.count) continue;
        const unsigned firstTrail = run.firstCode & 0xFF;
        unsigned trail = firstTrail + static_cast<unsigned>(codePoint - run.firstCodePoint);
        if (firstTrail < 0x7F && trail >= 0x7F) ++trail;
        bytes = {static_cast<char>(run.firstCode >> 8), static_cast<char>(trail)};
        return true;
    }
    return false;
}

}  // namespace

bool DecodeCodePageCharacter(std::string_view bytes, char32_t& codePoint) {
    static Converter converter("UTF-32LE", "CP936");
    unsigned char out[8];
    std::size_t outLength = 0;
    if (!converter.Convert(bytes.data(), bytes.size(), reinterpret_cast<char*>(out), sizeof out,
                           outLength) ||
        outLength != 4) {
        return DecodePrivateUse(bytes, codePoint);
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
        return EncodePrivateUse(codePoint, bytes);
    }
    bytes.assign(out, outLength);
    return true;
}

}  // namespace etxt

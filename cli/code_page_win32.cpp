// Code page 936 through the Windows code page functions.
#include "cli/code_page.h"

#include <windows.h>

namespace etxt {

namespace {
constexpr UINT kCodePage = 936;
}

bool DecodeCodePageCharacter(std::string_view bytes, char32_t& codePoint) {
    wchar_t wide[4];
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                      static_cast<int>(bytes.size()), wide, 4);
    if (n != 1) return false;
    // Bytes the code page does not define come back as the default character.
    char back[4];
    BOOL usedDefault = FALSE;
    const int m = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, 1, back, sizeof back,
                                      nullptr, &usedDefault);
    if (m != static_cast<int>(bytes.size()) || usedDefault ||
        std::string_view(back, m) != bytes) {
        return false;
    }
    codePoint = wide[0];
    return true;
}

bool EncodeCodePageCharacter(char32_t codePoint, std::string& bytes) {
    if (codePoint > 0xFFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return false;
    const wchar_t wide = static_cast<wchar_t>(codePoint);
    char out[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out,
                                      nullptr, &usedDefault);
    if (n < 1 || n > 2 || usedDefault) return false;
    // Refuse anything that would not read back as the same character.
    wchar_t back[2];
    if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, out, n, back, 2) != 1 || back[0] != wide) {
        return false;
    }
    bytes.assign(out, n);
    return true;
}

}  // namespace etxt

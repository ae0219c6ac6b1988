#include "file/codepage_win32.h"

#include <windows.h>

namespace tolvarinth {

std::wstring WidenText(std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string NarrowText(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string narrow(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr,
                            nullptr);
    return narrow;
}

}  // namespace tolvarinth

#pragma once
// Conversions between the program's code page 936 texts and the wide texts Windows takes.
// Explicit code page, so the program behaves the same under any system locale.

#include <string>
#include <string_view>

namespace tolvarinth {

constexpr unsigned kTextCodePage = 936;

std::wstring WidenText(std::string_view text);    // code page 936 -> UTF-16
std::string NarrowText(std::wstring_view text);   // UTF-16 -> code page 936 ("?" for what it cannot hold)

}  // namespace tolvarinth

#include <windows.h>

#include "cli/etxt_app.h"

namespace {

std::string ToUtf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string utf8(static_cast<std::size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int k = 1; k < argc; ++k) arguments.push_back(ToUtf8(argv[k]));
    return etxt::RunEtxt(arguments);
}

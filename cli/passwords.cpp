#include "cli/passwords.h"

#include "cli/platform.h"
#include "cli/text_convert.h"

namespace etxt {

using tolvarinth::SecretText;
using tolvarinth::WipeBytes;

namespace {
constexpr std::size_t kPasswordFileLimit = 4096;
}

bool PasswordToCodePage(const SecretText& utf8, SecretText& password) {
    std::string bytes;
    bytes.reserve(utf8.size() * 2 + 1);  // no reallocation: every copy is wiped
    const bool ok = Utf8TextToCodePage(utf8.view(), bytes);
    if (ok) password = SecretText(bytes);
    WipeBytes(bytes.data(), bytes.capacity());
    return ok;
}

PasswordStatus ReadPasswordFile(const std::string& file, SecretText& password) {
    SecretText content;
    if (!ReadSmallFile(file, kPasswordFileLimit, content)) return PasswordStatus::Unreadable;
    std::string_view line = content.view();
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    const std::size_t end = line.find_first_of("\r\n");
    if (end != std::string_view::npos) line = line.substr(0, end);
    return PasswordToCodePage(SecretText(line), password) ? PasswordStatus::Ok
                                                          : PasswordStatus::NotInCodePage;
}

PasswordStatus AskPassword(const std::string& prompt, SecretText& password) {
    SecretText typed;
    switch (PromptHidden(prompt, typed)) {
        case PromptStatus::NoTerminal:
            return PasswordStatus::NoTerminal;
        case PromptStatus::Cancelled:
            return PasswordStatus::Cancelled;
        case PromptStatus::Entered:
            break;
    }
    return PasswordToCodePage(typed, password) ? PasswordStatus::Ok : PasswordStatus::NotInCodePage;
}

PasswordStatus AskNewPassword(const std::string& what, SecretText& password) {
    SecretText first;
    PasswordStatus status = AskPassword("New password for " + what + " (empty for none): ", first);
    if (status != PasswordStatus::Ok) return status;
    SecretText second;
    status = AskPassword("Type the new password again: ", second);
    if (status != PasswordStatus::Ok) return status;
    if (first != second) return PasswordStatus::Mismatch;
    password = first;
    return PasswordStatus::Ok;
}

}  // namespace etxt

#pragma once
// Where etxt's passwords come from: a password file (its first line) or the terminal. Passwords
// are typed or stored as UTF-8 and handed on in code page 936, as the editor holds them.

#include <string>

#include "crypto/secret_text.h"

namespace etxt {

enum class PasswordStatus {
    Ok,
    NoTerminal,     // no file given and no terminal to ask on
    Cancelled,      // end of input at the prompt
    Unreadable,     // the password file cannot be read
    NotInCodePage,  // the password holds a character code page 936 cannot hold (or is not UTF-8)
    Mismatch,       // the new password was not typed the same twice
};

// The first line of a password file, without its line end (and without a UTF-8 byte order mark).
PasswordStatus ReadPasswordFile(const std::string& file, tolvarinth::SecretText& password);

// Asks once on the terminal.
PasswordStatus AskPassword(const std::string& prompt, tolvarinth::SecretText& password);

// Asks for a new password twice on the terminal; an empty entry means no password.
PasswordStatus AskNewPassword(const std::string& what, tolvarinth::SecretText& password);

// A UTF-8 password converted to code page 936; false when it cannot be.
bool PasswordToCodePage(const tolvarinth::SecretText& utf8, tolvarinth::SecretText& password);

}  // namespace etxt

#pragma once
// The four etxt commands. Each returns the program's exit status.

#include <cstddef>
#include <string>

namespace etxt {

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFileError = 1,      // not a note, cannot be read or written, input that cannot be stored
    kExitUsageError = 2,     // bad arguments; also no terminal to ask a password on
    kExitWrongPassword = 3,  // wrong password, or a new password not confirmed
};

constexpr std::size_t kDefaultChunkSize = 1 << 20;

struct CommandOptions {
    std::string note;  // as given on the command line (UTF-8)
    bool raw = false;
    bool noPassword = false;
    bool force = false;
    bool crlf = false;
    std::string passwordFile;
    std::string newPasswordFile;
    std::size_t chunkSize = kDefaultChunkSize;
};

int RunCat(const CommandOptions& options);
int RunWrite(const CommandOptions& options);
int RunPasswd(const CommandOptions& options);
int RunInfo(const CommandOptions& options);

}  // namespace etxt

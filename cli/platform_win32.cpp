#include "cli/platform.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "file/codepage_win32.h"

namespace etxt {

using tolvarinth::SecretText;
using tolvarinth::WipeBytes;

namespace {

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool WriteConsoleText(HANDLE console, std::string_view utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    std::size_t done = 0;
    while (done < wide.size()) {
        DWORD written = 0;
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        if (!WriteConsoleW(console, wide.data() + done, part, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

void PrepareStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool WriteOutput(std::string_view bytes, bool utf8Text) {
    if (bytes.empty()) return true;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (utf8Text && IsConsole(out)) {
        std::fflush(stdout);
        return WriteConsoleText(out, bytes);
    }
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

bool FlushOutput() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

namespace {

// Text typed on the console comes as UTF-16 and becomes UTF-8 like any other input; Ctrl+Z ends it.
class ConsoleInput {
public:
    std::int64_t Read(HANDLE console, char* buffer, std::size_t n) {
        while (pending_.empty() && !ended_) {
            wchar_t typed[1024];
            DWORD got = 0;
            if (!ReadConsoleW(console, typed + 1, 1023, &got, nullptr)) return -1;
            std::size_t length = got;
            const wchar_t* start = typed + 1;
            if (carry_ != 0) {  // the first half of a surrogate pair from the last read
                typed[0] = carry_;
                carry_ = 0;
                --start;
                ++length;
            }
            if (got == 0) ended_ = true;
            for (std::size_t k = 0; k < length; ++k) {
                if (start[k] == 0x1A) {
                    length = k;
                    ended_ = true;
                }
            }
            if (!ended_ && length > 0 && start[length - 1] >= 0xD800 && start[length - 1] <= 0xDBFF) {
                carry_ = start[--length];
            }
            if (length > 0) {
                const int size = WideCharToMultiByte(CP_UTF8, 0, start, static_cast<int>(length), nullptr, 0,
                                                     nullptr, nullptr);
                std::string utf8(static_cast<std::size_t>(size), '\0');
                WideCharToMultiByte(CP_UTF8, 0, start, static_cast<int>(length), utf8.data(), size, nullptr,
                                    nullptr);
                pending_ += utf8;
            }
        }
        const std::size_t count = std::min(n, pending_.size());
        std::copy(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count), buffer);
        pending_.erase(0, count);
        return static_cast<std::int64_t>(count);
    }

private:
    std::string pending_;
    wchar_t carry_ = 0;
    bool ended_ = false;
};

}  // namespace

std::int64_t ReadInput(char* buffer, std::size_t n) {
    static ConsoleInput consoleInput;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (IsConsole(in)) return consoleInput.Read(in, buffer, n);
    const std::size_t got = std::fread(buffer, 1, n, stdin);
    if (got == 0 && std::ferror(stdin)) return -1;
    return static_cast<std::int64_t>(got);
}

void WriteMessage(std::string_view utf8) {
    std::fflush(stdout);
    std::string line(utf8);
    line += '\n';
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (IsConsole(err)) {
        WriteConsoleText(err, line);
    } else {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }
}

bool NotePathFromArgument(const std::string& argument, std::string& path) {
    const std::wstring wide = Utf8ToWide(argument);
    if (wide.empty()) return false;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(tolvarinth::kTextCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    path.assign(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(tolvarinth::kTextCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                        static_cast<int>(wide.size()), path.data(), n, nullptr, nullptr);
    return true;
}

bool ReadSmallFile(const std::string& argument, std::size_t maxBytes, SecretText& bytes) {
    const std::wstring wide = Utf8ToWide(argument);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    const std::size_t limit = std::min(sizeof buffer, maxBytes);
    std::size_t total = 0;
    bool ok = true;
    while (total < limit) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, static_cast<DWORD>(limit - total), &got, nullptr)) {
            ok = GetLastError() == ERROR_BROKEN_PIPE;
            break;
        }
        if (got == 0) break;
        total += got;
    }
    CloseHandle(file);
    if (ok) bytes = SecretText(std::string_view(buffer, total));
    WipeBytes(buffer, sizeof buffer);
    return ok;
}

namespace {

// The console mode to restore if Ctrl+C or a close ends the program during a prompt.
HANDLE gPromptInput = INVALID_HANDLE_VALUE;
DWORD gSavedMode = 0;

BOOL WINAPI RestoreConsoleMode(DWORD) {
    if (gPromptInput != INVALID_HANDLE_VALUE) SetConsoleMode(gPromptInput, gSavedMode);
    return FALSE;  // let the default handler end the program
}

class ConsoleHandle {
public:
    explicit ConsoleHandle(const wchar_t* name)
        : handle_(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~ConsoleHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    ConsoleHandle(const ConsoleHandle&) = delete;
    ConsoleHandle& operator=(const ConsoleHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

PromptStatus PromptHidden(const std::string& prompt, SecretText& utf8) {
    ConsoleHandle input(L"CONIN$");
    ConsoleHandle output(L"CONOUT$");
    DWORD mode = 0;
    if (!IsConsole(input.get()) || !IsConsole(output.get()) || !GetConsoleMode(input.get(), &mode)) {
        return PromptStatus::NoTerminal;
    }
    gPromptInput = input.get();
    gSavedMode = mode;
    SetConsoleCtrlHandler(RestoreConsoleMode, TRUE);
    SetConsoleMode(input.get(),
                   (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    WriteConsoleText(output.get(), prompt);

    wchar_t line[1024];
    std::size_t length = 0;
    bool gotLineEnd = false;
    bool tooLong = false;
    for (;;) {
        wchar_t part[256];
        DWORD got = 0;
        if (!ReadConsoleW(input.get(), part, 256, &got, nullptr) || got == 0) break;
        for (DWORD k = 0; k < got && !gotLineEnd; ++k) {
            if (part[k] == L'\n') {
                gotLineEnd = true;
            } else if (length < 1024) {
                line[length++] = part[k];
            } else {
                tooLong = true;
            }
        }
        WipeBytes(part, sizeof part);
        if (gotLineEnd) break;
    }
    if (length > 0 && line[length - 1] == L'\r') --length;

    SetConsoleMode(input.get(), mode);
    SetConsoleCtrlHandler(RestoreConsoleMode, FALSE);
    gPromptInput = INVALID_HANDLE_VALUE;
    WriteConsoleText(output.get(), "\n");

    const bool entered = gotLineEnd && !tooLong;
    if (entered) {
        char bytes[4096];
        const int n = length == 0 ? 0
                                  : WideCharToMultiByte(CP_UTF8, 0, line, static_cast<int>(length), bytes,
                                                        sizeof bytes, nullptr, nullptr);
        utf8 = SecretText(std::string_view(bytes, n > 0 ? static_cast<std::size_t>(n) : 0));
        WipeBytes(bytes, sizeof bytes);
    }
    WipeBytes(line, sizeof line);
    return entered ? PromptStatus::Entered : PromptStatus::Cancelled;
}

}  // namespace etxt

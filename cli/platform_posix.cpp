#include "cli/platform.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>

namespace etxt {

using tolvarinth::SecretText;
using tolvarinth::WipeBytes;

void PrepareStandardStreams() {}

bool WriteOutput(std::string_view bytes, bool) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

bool FlushOutput() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

std::int64_t ReadInput(char* buffer, std::size_t n) {
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, buffer, n);
        if (got >= 0) return got;
        if (errno != EINTR) return -1;
    }
}

void WriteMessage(std::string_view utf8) {
    std::fflush(stdout);
    std::string line(utf8);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

bool NotePathFromArgument(const std::string& argument, std::string& path) {
    path = argument;
    return !path.empty();
}

bool ReadSmallFile(const std::string& argument, std::size_t maxBytes, SecretText& bytes) {
    const int fd = open(argument.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[4096];
    const std::size_t limit = std::min(sizeof buffer, maxBytes);
    std::size_t total = 0;
    bool ok = true;
    while (total < limit) {
        const ssize_t got = read(fd, buffer + total, limit - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    close(fd);
    if (ok) bytes = SecretText(std::string_view(buffer, total));
    WipeBytes(buffer, sizeof buffer);
    return ok;
}

namespace {

// The terminal settings to restore if a signal ends the program during a prompt.
volatile sig_atomic_t gPromptActive = 0;
int gTerminal = -1;
termios gSavedSettings;

void RestoreTerminalAndRaise(int signalNumber) {
    if (gPromptActive) tcsetattr(gTerminal, TCSAFLUSH, &gSavedSettings);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

}  // namespace

PromptStatus PromptHidden(const std::string& prompt, SecretText& utf8) {
    const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return PromptStatus::NoTerminal;
    termios saved;
    if (tcgetattr(fd, &saved) != 0) {
        close(fd);
        return PromptStatus::NoTerminal;
    }
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK);
    quiet.c_lflag |= ECHONL | ICANON;

    gTerminal = fd;
    gSavedSettings = saved;
    gPromptActive = 1;
    struct sigaction action = {};
    action.sa_handler = RestoreTerminalAndRaise;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    struct sigaction previous[4];
    for (int k = 0; k < 4; ++k) sigaction(signals[k], &action, &previous[k]);

    tcsetattr(fd, TCSAFLUSH, &quiet);
    (void)!write(fd, prompt.data(), prompt.size());

    char line[1024];
    std::size_t length = 0;
    bool gotLineEnd = false;
    bool tooLong = false;
    for (;;) {
        char c;
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (c == '\n') {
            gotLineEnd = true;
            break;
        }
        if (length < sizeof line) {
            line[length++] = c;
        } else {
            tooLong = true;
        }
        WipeBytes(&c, 1);
    }
    if (length > 0 && line[length - 1] == '\r') --length;

    tcsetattr(fd, TCSAFLUSH, &saved);
    gPromptActive = 0;
    for (int k = 0; k < 4; ++k) sigaction(signals[k], &previous[k], nullptr);
    if (!gotLineEnd) (void)!write(fd, "\n", 1);
    close(fd);

    const bool entered = gotLineEnd && !tooLong;
    if (entered) utf8 = SecretText(std::string_view(line, length));
    WipeBytes(line, sizeof line);
    return entered ? PromptStatus::Entered : PromptStatus::Cancelled;
}

}  // namespace etxt

#include "tests/cli/run_etxt.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace etxt_test {
namespace {

constexpr auto kTimeLimit = std::chrono::seconds(60);

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

#ifdef _WIN32

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// Quotes one argument the way the C runtime splits command lines.
std::wstring Quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

HANDLE OpenInheritable(const std::filesystem::path& file, bool forWriting) {
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, TRUE};
    return CreateFileW(file.wstring().c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                       forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The program's path as Windows sees it (under Wine the build folder is on drive Z:).
std::wstring ProgramPath() {
    std::wstring path = Widen(ETXT_PATH);
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        path = L"Z:" + path;
    }
    return path;
}

int Run(const std::vector<std::string>& arguments, const std::filesystem::path& in,
        const std::filesystem::path& out, const std::filesystem::path& err) {
    const std::wstring program = ProgramPath();
    std::wstring commandLine = Quote(program);
    for (const std::string& argument : arguments) commandLine += L" " + Quote(Widen(argument));
    HANDLE input = OpenInheritable(in, false);
    HANDLE output = OpenInheritable(out, true);
    HANDLE error = OpenInheritable(err, true);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(input);
    CloseHandle(output);
    CloseHandle(error);
    if (!started) return -1;
    int code = -1;
    const DWORD limit = static_cast<DWORD>(std::chrono::milliseconds(kTimeLimit).count());
    if (WaitForSingleObject(process.hProcess, limit) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        code = static_cast<int>(exitCode);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

#else

std::vector<std::string> ProgramAndArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> all{ETXT_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

int WaitForChild(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Run(const std::vector<std::string>& arguments, const std::filesystem::path& in,
        const std::filesystem::path& out, const std::filesystem::path& err) {
    std::vector<std::string> all = ProgramAndArguments(arguments);
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        setsid();  // no controlling terminal: /dev/tty cannot be opened
        const int input = open(in.c_str(), O_RDONLY);
        const int output = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int error = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (input < 0 || output < 0 || error < 0) _exit(126);
        dup2(input, 0);
        dup2(output, 1);
        dup2(error, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return WaitForChild(child);
}

#endif

}  // namespace

#ifndef _WIN32
RunResult RunEtxtOnTerminal(const std::vector<std::string>& arguments, const std::vector<std::string>& answers) {
    std::vector<std::string> all = ProgramAndArguments(arguments);
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);

    RunResult result;
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child < 0) return result;
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    std::size_t answered = 0;
    std::size_t seen = 0;  // output up to the last answer
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready = {master, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got <= 0) break;  // the program ended and the terminal closed
        result.out.append(buffer, static_cast<std::size_t>(got));
        const std::string fresh = result.out.substr(seen);
        if (answered < answers.size() && fresh.size() >= 2 && fresh.compare(fresh.size() - 2, 2, ": ") == 0) {
            const std::string line = answers[answered++] + "\n";
            (void)!write(master, line.data(), line.size());
            seen = result.out.size();
        }
    }
    close(master);
    result.exitCode = WaitForChild(child);
    return result;
}
#endif

RunResult RunEtxt(const std::vector<std::string>& arguments, const std::string& input,
                  const std::filesystem::path& scratch) {
    const std::filesystem::path in = scratch / "stdin.bin";
    const std::filesystem::path out = scratch / "stdout.bin";
    const std::filesystem::path err = scratch / "stderr.bin";
    WriteAll(in, input);
    RunResult result;
    result.exitCode = Run(arguments, in, out, err);
    result.out = ReadAll(out);
    result.err = ReadAll(err);
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

}  // namespace etxt_test

#pragma once
// Runs the built etxt as a child process: standard input from a file, standard output and error
// into files, no terminal (a new session on POSIX systems, a detached process on Windows), and a
// time limit, so a program waiting for a password fails the test instead of hanging it.

#include <filesystem>
#include <string>
#include <vector>

namespace etxt_test {

struct RunResult {
    int exitCode = -1;  // -1 when the program did not end in time or could not start
    std::string out;
    std::string err;
};

// Arguments are UTF-8. The scratch folder holds the input and output files.
RunResult RunEtxt(const std::vector<std::string>& arguments, const std::string& input,
                  const std::filesystem::path& scratch);

// POSIX systems only: runs etxt on a new pseudo-terminal and types each answer once the program's
// output so far ends with a colon and a space (a prompt). out is everything the terminal showed.
RunResult RunEtxtOnTerminal(const std::vector<std::string>& arguments, const std::vector<std::string>& answers);

}  // namespace etxt_test

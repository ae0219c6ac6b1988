#pragma once
// The etxt command line: parses the arguments (UTF-8, program name excluded) and runs the command.

#include <string>
#include <vector>

namespace etxt {

int RunEtxt(const std::vector<std::string>& arguments);

}  // namespace etxt

#pragma once
// Splits the process command line (code page 936 bytes) into its arguments, program name skipped.

#include <string>
#include <string_view>
#include <vector>

namespace tolvarinth {

std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace tolvarinth

#include "app/command_line.h"

#include <cstddef>

namespace tolvarinth {

namespace {

constexpr char kQuote = '"';

bool IsSeparator(unsigned char c) { return c <= 0x20; }
bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// Reads one argument starting at pos (just after its opening quote when quoted) and leaves pos
// on the byte that ended it. A double-byte character is taken whole: its second byte is never a
// quote or a separator. A lead byte with nothing after it is dropped.
std::string ReadArgument(std::string_view line, std::size_t& pos, bool quoted) {
    const std::size_t start = pos;
    while (pos < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[pos]);
        if (IsLeadByte(c)) {
            if (pos + 1 == line.size()) {
                std::string argument(line.substr(start, pos - start));
                pos = line.size();
                return argument;
            }
            pos += 2;
            continue;
        }
        if (c == kQuote || (!quoted && IsSeparator(c))) break;
        ++pos;
    }
    return std::string(line.substr(start, pos - start));
}

// Position of the first byte after the program name (and the byte that ended it).
std::size_t SkipProgramName(std::string_view line) {
    if (line.empty()) return 0;
    if (line[0] == kQuote) {
        std::size_t end = line.find(kQuote, 1);
        if (end == std::string_view::npos) return line.size();
        ++end;  // the closing quote
        if (end < line.size() && line[end] == ' ') ++end;
        return end;
    }
    const std::size_t end = line.find(' ');
    return end == std::string_view::npos ? line.size() : end + 1;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    // The command line is a C string: it ends at its first NUL.
    const std::string_view line = commandLine.substr(0, commandLine.find('\0'));

    std::vector<std::string> arguments;
    std::size_t pos = SkipProgramName(line);
    while (pos < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[pos]);
        if (IsSeparator(c)) {
            ++pos;
        } else if (c == kQuote) {
            ++pos;
            arguments.push_back(ReadArgument(line, pos, true));
            if (pos < line.size()) ++pos;  // the closing quote
        } else {
            arguments.push_back(ReadArgument(line, pos, false));
        }
    }
    return arguments;
}

}  // namespace tolvarinth

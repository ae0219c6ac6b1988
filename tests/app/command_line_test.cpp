#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace tolvarinth {
namespace {

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> arguments;
};

// Literals with a byte of 0x80 or more are written as escapes so the table says exactly which
// bytes the splitter sees. "\xB0\xA1" is a valid double-byte character.
const SplitCase kSplitCases[] = {
    {"empty line", "", {}},
    {"program name only", "tolvarinth.exe", {}},
    {"program name with trailing space", "tolvarinth.exe ", {}},
    {"one argument", "tolvarinth.exe a.etxt", {"a.etxt"}},
    {"quoted program name with spaces",
     "\"C:\\Program Files\\T\\tolvarinth.exe\" a.etxt", {"a.etxt"}},
    {"quoted program name without closing quote", "\"C:\\a b\\t.exe a.etxt", {}},
    {"quoted program name glued to an argument", "\"t.exe\"a.etxt", {"a.etxt"}},
    {"tab does not end an unquoted program name", "t.exe\ta.etxt", {}},
    {"tab after a quoted program name separates", "\"t.exe\"\ta.etxt", {"a.etxt"}},
    {"quoted path with spaces", "t.exe \"C:\\My Notes\\a b.etxt\"", {"C:\\My Notes\\a b.etxt"}},
    {"unquoted path with spaces", "t.exe C:\\My Notes\\a b.etxt",
     {"C:\\My", "Notes\\a", "b.etxt"}},
    {"empty quotes are one empty argument", "t.exe \"\"", {""}},
    {"two empty quotes are two arguments", "t.exe \"\"\"\"", {"", ""}},
    {"unclosed quote runs to the end", "t.exe \"a b", {"a b"}},
    {"argument glued to a quoted one", "t.exe abc\"def\"", {"abc", "def"}},
    {"quoted one glued to an argument", "t.exe \"abc\"def", {"abc", "def"}},
    {"two paths", "t.exe a.etxt b.etxt", {"a.etxt", "b.etxt"}},
    {"backslash is no escape", "t.exe \"a\\\" b\\\"", {"a\\", "b\\", ""}},
    {"tabs and control bytes separate", "t.exe \t a\x01\x1f" "b\x7f\tc", {"a", "b\x7f", "c"}},
    {"text ends at a NUL", std::string("t.exe a\0b", 9), {"a"}},
    {"double-byte characters kept whole", "t.exe \"\xB0\xA1\xB0\xA1.etxt\" \xB0\xA1",
     {"\xB0\xA1\xB0\xA1.etxt", "\xB0\xA1"}},
    {"trail byte that is a quote, unquoted", "t.exe a\xB0\"b c", {"a\xB0\"b", "c"}},
    {"trail byte that is a quote, quoted", "t.exe \"a\xB0\"b\" c", {"a\xB0\"b", "c"}},
    {"trail byte that is a space", "t.exe a\xB0 b \"c\xB0 \"", {"a\xB0 b", "c\xB0 "}},
    {"lone lead byte at the end, unquoted", "t.exe ab\xB0", {"ab"}},
    {"lone lead byte at the end, quoted", "t.exe \"ab\xB0", {"ab"}},
    {"lone lead byte alone is an empty argument", "t.exe \xB0", {""}},
};

// Test names and failure output stay ASCII: a case prints as its name.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, SplitsIntoArguments) {
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLineTest, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

}  // namespace
}  // namespace tolvarinth

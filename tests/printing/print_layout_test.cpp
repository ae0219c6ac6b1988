// Line-break and page-break rules of printed text, against a recording surface.
#include "ui/print_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvarinth {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr int kLineHeight = 10;  // every line, and an empty one, unless named "TALL"
constexpr int kTallHeight = 500;
constexpr int kGap = 2;

// Records what a layout does as "text@top" and "page"; stops after `linesBeforeStop` lines.
class RecordingSurface final : public PrintSurface {
public:
    explicit RecordingSurface(int linesBeforeStop = -1) : linesLeft_(linesBeforeStop) {}

    bool KeepGoing() override {
        if (linesLeft_ == 0) return false;
        if (linesLeft_ > 0) --linesLeft_;
        return true;
    }
    int LineHeight(std::string_view line) override { return line == "TALL" ? kTallHeight : kLineHeight; }
    void BreakPage() override { events.push_back("page"); }
    void DrawLine(int top, std::string_view line) override {
        events.push_back(std::string(line) + "@" + std::to_string(top));
    }
    int NextLineTop(int top, int height) override { return top + height + kGap; }

    std::vector<std::string> events;

private:
    int linesLeft_;
};

TEST(SplitPrintLines, BreakRules) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\nb", {"a", "b"}},          // LF LF is one break
        {"a\r\rb", {"a", "", "b"}},      // CR CR is two
        {"a\n\rb", {"a", "", "b"}},      // LF CR is two
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\n", {"a", ""}},            // a closing break leaves one empty line
        {"\r\n", {"", ""}},
        {"a\tb\r\n中文", {"a\tb", "中文"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got;
        for (std::string_view line : SplitPrintLines(c.text)) got.emplace_back(line);
        EXPECT_THAT(got, ElementsAreArray(c.lines)) << "text of " << c.text.size() << " bytes";
    }
}

struct LayoutCase {
    const char* name;
    std::string text;
    int usableHeight;
    std::vector<std::string> events;
    int nextTop;
};

class LayOutTextTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayOutTextTest, PlacesLinesAndBreaksPages) {
    const LayoutCase& c = GetParam();
    RecordingSurface surface;
    const LayoutOutcome outcome = LayOutText(c.text, 0, c.usableHeight, surface);
    EXPECT_THAT(surface.events, ElementsAreArray(c.events));
    EXPECT_EQ(outcome.nextTop, c.nextTop);
    EXPECT_FALSE(outcome.stopped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayOutTextTest,
    ::testing::Values(
        LayoutCase{"ThreeShortLines", "a\r\nb\r\nc", 1000, {"a@0", "b@12", "c@24"}, 36},
        LayoutCase{"CrLfCrLfLeavesOneEmptyLine", "a\r\n\r\nb", 1000, {"a@0", "b@24"}, 36},
        LayoutCase{"LfLfIsOneBreak", "a\n\nb", 1000, {"a@0", "b@12"}, 24},
        LayoutCase{"CrCrIsTwoBreaks", "a\r\rb", 1000, {"a@0", "b@24"}, 36},
        LayoutCase{"ClosingBreakAdvancesOneEmptyLine", "a\r\n", 1000, {"a@0"}, 24},
        // b ends exactly at 22; the empty line after the closing CR LF needs 24..34: blank page.
        LayoutCase{"ClosingEmptyLineStartsBlankPage", "a\r\nb\r\n", 22, {"a@0", "b@12", "page"}, 12},
        LayoutCase{"EmptyDocumentDrawsNothing", "", 1000, {}, 12},
        LayoutCase{"LineEndingExactlyAtUsableHeightStays", "a\r\nb", 22, {"a@0", "b@12"}, 24},
        LayoutCase{"LineOneUnitPastUsableHeightMoves", "a\r\nb", 21, {"a@0", "page", "b@0"}, 12},
        LayoutCase{"TallFirstLineIsPrinted", "TALL\r\nb", 100, {"TALL@0", "page", "b@0"}, 12},
        LayoutCase{"TallLineAfterOthersGetsItsOwnPage", "a\r\nTALL\r\nb", 100,
                   {"a@0", "page", "TALL@0", "page", "b@0"}, 12},
        LayoutCase{"EmptyLinesCanBreakPages", "a\r\n\r\n\r\nb", 30, {"a@0", "page", "b@12"}, 24}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(LayOutText, ContinuesFromTheStartingPosition) {
    RecordingSurface surface;
    LayOutText("a\r\nb", 80, 100, surface);
    EXPECT_THAT(surface.events, ElementsAre("a@80", "page", "b@0"));
}

TEST(LayOutText, StopsBeforeTheNextLineWhenAsked) {
    RecordingSurface surface(2);
    const LayoutOutcome outcome = LayOutText("a\r\nb\r\nc\r\nd", 0, 1000, surface);
    EXPECT_THAT(surface.events, ElementsAre("a@0", "b@12"));
    EXPECT_TRUE(outcome.stopped);
}

}  // namespace
}  // namespace tolvarinth

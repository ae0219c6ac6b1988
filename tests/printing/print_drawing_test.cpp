// The drawing side of printing, recorded on an enhanced metafile with a PostScript printer DC as
// reference: positions in 0.1 mm, order, page breaks, and stopping between lines.
#include "ui/print_drawing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/codepage_win32.h"
#include "tests/printing/test_printer.h"
#include "ui/print_layout.h"

namespace tolvarinth {
namespace {

using printtest::CreatePrinterDc;
using printtest::InstallTestPrinters;
using printtest::kPrinterA;

constexpr char kPageMarker[] = "page-break";

struct DrawnLine {
    std::wstring text;
    POINT at;
    int page;
};

// Page breaks go into the recording as comments; the job "stops" after a number of lines.
class RecordingPager final : public PrintPager {
public:
    RecordingPager(HDC recording, int linesBeforeStop) : recording_(recording), linesLeft_(linesBeforeStop) {}
    bool KeepGoing() override {
        if (linesLeft_ == 0) return false;
        if (linesLeft_ > 0) --linesLeft_;
        return true;
    }
    void BreakPage() override {
        GdiComment(recording_, sizeof(kPageMarker), reinterpret_cast<const BYTE*>(kPageMarker));
    }

private:
    HDC recording_;
    int linesLeft_;
};

struct Collected {
    std::vector<DrawnLine> lines;
    int page = 1;
};

int CALLBACK CollectRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM context) {
    auto* collected = reinterpret_cast<Collected*>(context);
    if (record->iType == EMR_GDICOMMENT) {
        const auto* comment = reinterpret_cast<const EMRGDICOMMENT*>(record);
        if (comment->cbData == sizeof(kPageMarker) &&
            std::string(reinterpret_cast<const char*>(comment->Data)) == kPageMarker)
            ++collected->page;
    }
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             text->emrtext.offString);
        DrawnLine line;
        line.text.assign(chars, text->emrtext.nChars);
        line.at = {text->emrtext.ptlReference.x, text->emrtext.ptlReference.y};
        line.page = collected->page;
        collected->lines.push_back(line);
    }
    return 1;
}

class PrintDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string error = InstallTestPrinters();
        ASSERT_EQ(error, "");
        printer_ = CreatePrinterDc(kPrinterA);
        ASSERT_TRUE(printer_);
        metrics_ = ReadPageMetrics(printer_.get());
        font_ = MakePrintFont();
        ASSERT_TRUE(font_);
    }

    // Draws the text as a job would and returns what was drawn, page by page.
    std::vector<DrawnLine> Record(const std::string& text, int linesBeforeStop = -1, bool* finished = nullptr,
                                  POINT* position = nullptr, int* pages = nullptr) {
        HDC recording = CreateEnhMetaFileW(printer_.get(), nullptr, nullptr, L"test\0page\0");
        EXPECT_NE(recording, nullptr);
        SetPrintMapping(recording);
        usableHeight_ = UsablePrintHeight(recording, metrics_);
        SelectObject(recording, font_.get());
        SIZE w = {};
        GetTextExtentPoint32W(recording, L"W", 1, &w);
        emptyLineHeight_ = w.cy;
        SelectObject(recording, GetStockObject(SYSTEM_FONT));
        RecordingPager pager(recording, linesBeforeStop);
        POINT at = {0, 0};
        const bool done = DrawPrintText(recording, font_.get(), metrics_, at, text, pager);
        if (finished) *finished = done;
        if (position) *position = at;
        HENHMETAFILE file = CloseEnhMetaFile(recording);
        Collected collected;
        EnumEnhMetaFile(nullptr, file, CollectRecord, &collected, nullptr);
        DeleteEnhMetaFile(file);
        if (pages) *pages = collected.page;
        return collected.lines;
    }

    // Where the lines of a text of equal-height lines go by the rule: one line height plus two
    // printer pixels apart, a new page when a line would end below the usable height.
    std::vector<std::pair<int, int>> ExpectedPagesAndTops(int count) {
        SetPrintMapping(printer_.get());
        std::vector<std::pair<int, int>> placed;
        int page = 1;
        int top = 0;
        for (int i = 0; i < count; ++i) {
            if (top > 0 && top + emptyLineHeight_ > usableHeight_) {
                ++page;
                top = 0;
            }
            placed.emplace_back(page, kPrintMargin + top);
            POINT next = {0, top + emptyLineHeight_};
            LPtoDP(printer_.get(), &next, 1);
            next.y += 2;
            DPtoLP(printer_.get(), &next, 1);
            top = next.y;
        }
        return placed;
    }

    UniqueDc printer_;
    PageMetrics metrics_;
    UniqueFont font_;
    int usableHeight_ = 0;
    int emptyLineHeight_ = 0;
};

TEST(PrintFontHeight, FollowsTheScreenResolution) {
    const struct {
        int dpi;
        LONG height;
    } cases[] = {{96, -42}, {120, -33}, {144, -28}, {72, -56}, {0, -42}};
    for (const auto& c : cases) EXPECT_EQ(PrintFontHeight(c.dpi), c.height) << c.dpi << " dpi";
}

TEST_F(PrintDrawingTest, GenericA4PrintableAreaGivesUsableHeight) {
    // A4 with 6.35 mm unprintable margins: 284 mm printable, less 2 x 20 mm.
    Record("");
    EXPECT_NEAR(usableHeight_, 2840 - 400, 3);
}

TEST_F(PrintDrawingTest, ThreeLinesStartAtTheMarginsOneLineApart) {
    const std::vector<DrawnLine> lines = Record("中文行\r\na\tb\r\nthird");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, L"中文行");
    EXPECT_EQ(lines[1].text, L"a\tb");  // tabs are drawn as they are
    EXPECT_EQ(lines[2].text, L"third");
    const auto expected = ExpectedPagesAndTops(3);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].at.x, kPrintMargin);
        EXPECT_EQ(lines[i].at.y, expected[i].second);
        EXPECT_EQ(lines[i].page, 1);
    }
    EXPECT_EQ(lines[0].at.y, kPrintMargin);
    // One text height plus two printer pixels (under 0.3 mm at 300 dpi).
    EXPECT_GT(lines[1].at.y - lines[0].at.y, emptyLineHeight_);
    EXPECT_LE(lines[1].at.y - lines[0].at.y, emptyLineHeight_ + 3);
}

TEST_F(PrintDrawingTest, EmptyLinesTakeOneLineHeight) {
    const std::vector<DrawnLine> pair = Record("a\r\nb");
    const std::vector<DrawnLine> gap = Record("a\r\n\r\nb");
    const std::vector<DrawnLine> lfLf = Record("a\n\nb");
    const auto expected = ExpectedPagesAndTops(3);
    ASSERT_EQ(pair.size(), 2u);
    ASSERT_EQ(gap.size(), 2u);
    ASSERT_EQ(lfLf.size(), 2u);
    EXPECT_EQ(pair[1].at.y, expected[1].second);
    EXPECT_EQ(gap[1].at.y, expected[2].second);
    EXPECT_EQ(lfLf[1].at.y, expected[1].second);
}

TEST_F(PrintDrawingTest, LongTextBreaksPagesInOrder) {
    std::string text;
    for (int i = 1; i <= 70; ++i) text += "line " + std::to_string(i) + "\r\n";
    const std::vector<DrawnLine> lines = Record(text);
    const auto expected = ExpectedPagesAndTops(70);
    ASSERT_EQ(lines.size(), 70u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].text, L"line " + std::to_wstring(i + 1));
        EXPECT_EQ(lines[i].page, expected[i].first) << "line " << i + 1;
        EXPECT_EQ(lines[i].at.y, expected[i].second) << "line " << i + 1;
        EXPECT_LE(lines[i].at.y - kPrintMargin + emptyLineHeight_, usableHeight_);
    }
    EXPECT_EQ(lines.back().page, 2);
    EXPECT_EQ(lines[0].at.y, kPrintMargin);
}

TEST_F(PrintDrawingTest, ClosingLineBreakWithoutRoomStartsABlankPage) {
    Record("");  // measures the page
    const auto placed = ExpectedPagesAndTops(200);
    int fitting = 0;
    while (placed[fitting].first == 1) ++fitting;
    std::string text;
    for (int i = 1; i <= fitting; ++i) text += "line " + std::to_string(i) + "\r\n";
    int pages = 0;
    const std::vector<DrawnLine> lines = Record(text, -1, nullptr, nullptr, &pages);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(fitting));
    EXPECT_EQ(lines.back().page, 1);
    EXPECT_EQ(pages, 2);  // the empty line after the last break needs a new page
    text.resize(text.size() - 2);  // without the closing break the page is not broken
    Record(text, -1, nullptr, nullptr, &pages);
    EXPECT_EQ(pages, 1);
}

TEST_F(PrintDrawingTest, StoppingDrawsNothingMore) {
    bool finished = true;
    POINT position = {-1, -1};
    const std::vector<DrawnLine> lines = Record("a\r\nb\r\nc\r\nd", 2, &finished, &position);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, L"b");
    EXPECT_FALSE(finished);
    EXPECT_EQ(position.x, 0);  // left as it was
    EXPECT_EQ(position.y, 0);
}

TEST_F(PrintDrawingTest, PositionIsKeptInDeviceUnitsForTheNextText) {
    bool finished = false;
    POINT position = {};
    const std::vector<DrawnLine> lines = Record("a\r\nb", -1, &finished, &position);
    ASSERT_TRUE(finished);
    ASSERT_EQ(lines.size(), 2u);
    // Two lines down, converted to printer pixels: positive and about two steps long.
    const int step = lines[1].at.y - lines[0].at.y;
    const int dpi = GetDeviceCaps(printer_.get(), LOGPIXELSY);
    EXPECT_NEAR(position.y, 2 * step * dpi / 254.0, 3.0);
    EXPECT_EQ(position.x, 0);
}

}  // namespace
}  // namespace tolvarinth

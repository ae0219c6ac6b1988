// The editor's format operations: ReplaceSelection, SetWordWrap, SetEditorFont, SetTextColour.
#include <gtest/gtest.h>

#include <string>

#include "file/codepage_win32.h"
#include "tests/editformat/editor_window.h"
#include "ui/font_sizes.h"
#include "ui/resource_ids.h"

namespace tolvarinth::uitest {
namespace {

using EditorBoxFormatTest = EditorWindowTest;

TEST_F(EditorBoxFormatTest, ReplaceSelectionInsertsAtTheCaretAsAChange) {
    editor_.SetText("一二");
    SendMessageW(editor_.Handle(), EM_SETSEL, 1, 1);
    editor_.ClearModified();

    editor_.ReplaceSelection("中x");

    EXPECT_EQ(editor_.GetText(), "一中x二");
    EXPECT_EQ(SelectionStart(), 3u);
    EXPECT_EQ(SelectionEnd(), 3u);
    EXPECT_TRUE(editor_.IsModified());
    EXPECT_EQ(SendMessageW(editor_.Handle(), EM_CANUNDO, 0, 0), 0);
}

struct FontCase {
    const char* name;
    FontChoice choice;
    const wchar_t* face;  // the face the control asks for
};

void PrintTo(const FontCase& c, std::ostream* os) { *os << c.name; }

class SetEditorFontTest : public EditorWindowTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(SetEditorFontTest, BuildsTheLogFontFromTheChoice) {
    const FontCase& c = GetParam();
    editor_.SetEditorFont(c.choice);

    const LOGFONTW font = EditorLogFont();
    EXPECT_EQ(std::wstring(font.lfFaceName), c.face);
    const int size = c.choice.size > 0 ? c.choice.size : 0;
    EXPECT_EQ(font.lfHeight, LogHeightFromPoints(size, ScreenPixelsPerInchY()));
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfEscapement, c.choice.escapement);
    EXPECT_EQ(font.lfOrientation, c.choice.escapement);
    EXPECT_EQ(font.lfWeight, c.choice.bold ? FW_BOLD : FW_DONTCARE);
    EXPECT_EQ(font.lfItalic, c.choice.italic ? 1 : 0);
    EXPECT_EQ(font.lfUnderline, c.choice.underline ? 1 : 0);
    EXPECT_EQ(font.lfStrikeOut, c.choice.strikeout ? 1 : 0);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, 0);
    EXPECT_EQ(font.lfClipPrecision, 0);
    EXPECT_EQ(font.lfQuality, 0);
    EXPECT_EQ(font.lfPitchAndFamily, 0);
}

FontChoice Choice(const char* face, int size, bool bold = false, bool italic = false, bool strikeout = false,
                  bool underline = false, int escapement = 0) {
    FontChoice c;
    c.faceName = face;
    c.size = size;
    c.bold = bold;
    c.italic = italic;
    c.strikeout = strikeout;
    c.underline = underline;
    c.escapement = escapement;
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SetEditorFontTest,
    ::testing::Values(
        FontCase{"PlainFace", Choice("Tahoma", 12), L"Tahoma"},
        FontCase{"EverythingSet", Choice("Tahoma", 11, true, true, true, true, 900), L"Tahoma"},
        FontCase{"ChineseFace", Choice("黑体", 9), L"黑体"},
        FontCase{"MissingFaceFallsBack", Choice("", 10), L"宋体"},
        FontCase{"ThirtyOneBytesKept", Choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", 10),
                 L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"},
        FontCase{"ThirtyTwoBytesFallBack", Choice("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef", 10), L"宋体"},
        FontCase{"SixteenChineseCharactersFallBack", Choice("一二三四五六七八九十一二三四五六", 10), L"宋体"},
        FontCase{"NegativeSizeCountsAsZero", Choice("Tahoma", -5), L"Tahoma"}),
    [](const ::testing::TestParamInfo<FontCase>& info) { return std::string(info.param.name); });

TEST_F(EditorBoxFormatTest, ElevenPointsIsFifteenPixelsAtNinetySixDpi) {
    if (ScreenPixelsPerInchY() != 96) GTEST_SKIP() << "screen is not 96 dpi";
    editor_.SetEditorFont(Choice("Tahoma", 11));
    EXPECT_EQ(EditorLogFont().lfHeight, -15);
}

TEST_F(EditorBoxFormatTest, ANewFontReplacesTheOldOne) {
    editor_.SetEditorFont(Choice("Tahoma", 10));
    HFONT first = reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0));
    editor_.SetEditorFont(Choice("Tahoma", 14));
    HFONT second = reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0));

    EXPECT_NE(second, first);
    LOGFONTW gone{};
    EXPECT_EQ(GetObjectW(first, sizeof gone, &gone), 0) << "the previous font object is deleted";
}

TEST_F(EditorBoxFormatTest, TextColourIsSetWhenTheControlPaintsAndRepaintsAtOnce) {
    UpdateWindow(editor_.Handle());
    editor_.SetTextColour(RGB(0, 128, 255));

    EXPECT_TRUE(GetUpdateRect(editor_.Handle(), nullptr, FALSE));
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageW(window_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(editor_.Handle())));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 128, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    LOGBRUSH background{};
    GetObjectW(brush, sizeof background, &background);
    EXPECT_EQ(background.lbColor, RGB(255, 255, 255));
    DeleteDC(dc);

    SetEditorText(L"MWMWMW");
    EXPECT_GT(CountEditorPixels(RGB(0, 128, 255)), 10);
}

TEST_F(EditorBoxFormatTest, SameWrapSettingKeepsTheControl) {
    HWND control = editor_.Handle();
    editor_.SetWordWrap(true);
    EXPECT_EQ(editor_.Handle(), control);
}

TEST_F(EditorBoxFormatTest, RecreationLeavesFocusAndVisibilityWhereTheyWere) {
    HWND other = CreateWindowExW(0, L"BUTTON", L"other", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, window_,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(other);
    SetEditorText(L"keep me");
    editor_.ClearModified();

    editor_.SetWordWrap(false);
    EXPECT_EQ(GetFocus(), other);
    EXPECT_TRUE(IsWindowVisible(editor_.Handle()));
    EXPECT_EQ(EditorText(), L"keep me");
    EXPECT_FALSE(editor_.IsModified());

    ShowWindow(editor_.Handle(), SW_HIDE);
    editor_.SetWordWrap(true);
    EXPECT_FALSE(IsWindowVisible(editor_.Handle()));
    EXPECT_EQ(GetFocus(), other);
    EXPECT_EQ(GetDlgCtrlID(editor_.Handle()), IDC_EDITOR);
}

}  // namespace
}  // namespace tolvarinth::uitest

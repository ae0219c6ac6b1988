// The Edit and Format commands on a real edit control, under a stand-in main window.
#include "ui/edit_commands.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>

#include "file/codepage_win32.h"
#include "tests/editformat/editor_window.h"
#include "ui/font_sizes.h"
#include "ui/resource_ids.h"

namespace tolvarinth::uitest {
namespace {

std::tm LocalTimeOf(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::tm LastDayOf1999() { return LocalTimeOf(1999, 12, 31, 14, 0, 9); }
std::tm MidnightOf2000() { return LocalTimeOf(2000, 1, 1, 0, 0, 0); }

bool WordWrapChecked(HMENU menu) {
    return (GetMenuState(menu, IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::wstring ClipboardText() {
    std::wstring text;
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

class EditCommandsTest : public EditorWindowTest {
protected:
    void TearDown() override {
        SetLocalClock(nullptr);
        EditorWindowTest::TearDown();
    }
    bool CanUndo() const { return SendMessageW(editor_.Handle(), EM_CANUNDO, 0, 0) != 0; }
    LRESULT LineCount() const { return SendMessageW(editor_.Handle(), EM_GETLINECOUNT, 0, 0); }
    LONG_PTR Style() const { return GetWindowLongPtrW(editor_.Handle(), GWL_STYLE); }
};

// ---- Date and time -------------------------------------------------------------------------

struct FormatCase {
    std::tm local;
    const char* date;
    const char* time;
};

TEST(DateTimeTextTest, NumbersWithoutLeadingZeros) {
    const FormatCase cases[] = {
        {LocalTimeOf(1999, 12, 31, 14, 0, 9), "1999年12月31日", "14时0分9秒"},
        {LocalTimeOf(2000, 1, 1, 0, 0, 0), "2000年1月1日", "0时0分0秒"},
        {LocalTimeOf(1999, 3, 5, 9, 5, 3), "1999年3月5日", "9时5分3秒"},
        {LocalTimeOf(2026, 10, 20, 23, 59, 59), "2026年10月20日", "23时59分59秒"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(FormatDateText(c.local), c.date);
        EXPECT_EQ(FormatTimeText(c.local), c.time);
    }
}

struct InsertCase {
    const char* name;
    LocalClock clock;
    void (*command)(Win32EditorBox&);
    const char* inserted;
};

void PrintTo(const InsertCase& c, std::ostream* os) { *os << c.name; }

class InsertClockTextTest : public EditCommandsTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(InsertClockTextTest, ReplacesTheSelectionAsAChangeThatCannotBeUndone) {
    const InsertCase& c = GetParam();
    SetLocalClock(c.clock);
    editor_.SetText("abXYef");
    editor_.ClearModified();
    SendMessageW(editor_.Handle(), EM_SETSEL, 2, 4);

    c.command(editor_);

    const std::string expected = std::string("ab") + c.inserted + "ef";
    EXPECT_EQ(editor_.GetText(), expected);
    EXPECT_TRUE(editor_.IsModified());
    const DWORD caret = 2 + static_cast<DWORD>(WidenText(c.inserted).size());
    EXPECT_EQ(SelectionStart(), caret);
    EXPECT_EQ(SelectionEnd(), caret);

    UndoEdit(editor_);
    EXPECT_EQ(editor_.GetText(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, InsertClockTextTest,
    ::testing::Values(InsertCase{"DateOnLastDayOf1999", LastDayOf1999, InsertDate, "1999年12月31日"},
                      InsertCase{"TimeOnLastDayOf1999", LastDayOf1999, InsertTime, "14时0分9秒"},
                      InsertCase{"DateAtMidnight", MidnightOf2000, InsertDate, "2000年1月1日"},
                      InsertCase{"TimeAtMidnight", MidnightOf2000, InsertTime, "0时0分0秒"}),
    [](const ::testing::TestParamInfo<InsertCase>& info) { return std::string(info.param.name); });

TEST_F(EditCommandsTest, WithoutAnInjectedClockDateIsTodaysLocalDate) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    InsertDate(editor_);
    EXPECT_EQ(editor_.GetText(), FormatDateText(LocalTimeOf(now.wYear, now.wMonth, now.wDay, 0, 0, 0)));
}

// ---- Clipboard and undo --------------------------------------------------------------------

TEST_F(EditCommandsTest, SelectAllThenCopyPutsTheWholeTextOnTheClipboard) {
    const std::wstring text = L"first line\r\n第二行 中文\r\nlast";
    SetEditorText(text);

    SelectAllText(editor_);
    EXPECT_EQ(SelectionStart(), 0u);
    EXPECT_EQ(SelectionEnd(), text.size());
    CopySelection(editor_);

    EXPECT_EQ(ClipboardText(), text);
    EXPECT_EQ(EditorText(), text);
}

TEST_F(EditCommandsTest, CutPasteAndUndo) {
    SetEditorText(L"hello world");
    editor_.ClearModified();
    SendMessageW(editor_.Handle(), EM_SETSEL, 0, 6);

    CutSelection(editor_);
    EXPECT_EQ(EditorText(), L"world");
    EXPECT_EQ(ClipboardText(), L"hello ");
    EXPECT_TRUE(editor_.IsModified());

    SendMessageW(editor_.Handle(), EM_SETSEL, 5, 5);
    PasteClipboard(editor_);
    EXPECT_EQ(EditorText(), L"worldhello ");

    UndoEdit(editor_);
    EXPECT_EQ(EditorText(), L"world");
}

TEST_F(EditCommandsTest, CutAndCopyWithoutSelectionLeaveTheClipboardAlone) {
    SetEditorText(L"kept");
    SelectAllText(editor_);
    CopySelection(editor_);
    SendMessageW(editor_.Handle(), EM_SETSEL, 2, 2);

    CutSelection(editor_);
    CopySelection(editor_);

    EXPECT_EQ(EditorText(), L"kept");
    EXPECT_EQ(ClipboardText(), L"kept");
}

// ---- Word wrap -----------------------------------------------------------------------------

class WordWrapTest : public EditCommandsTest {
protected:
    void SetUp() override {
        EditCommandsTest::SetUp();
        for (int i = 0; i < 60; ++i) text_ += L"word 中文 ";
        text_ += L"\xD83D\xDE00 \xD55C";  // also characters code page 936 cannot hold
        for (int i = 0; i < 40; ++i) text_ += L"\r\nshort line";
        SetEditorText(text_);
        FontChoice font;
        font.bold = true;
        font.size = 12;
        font.faceName = "Tahoma";
        editor_.SetEditorFont(font);
        editor_.SetTextColour(RGB(255, 0, 0));
        font_ = reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0));
        GetWindowRect(editor_.Handle(), &place_);
    }

    // Scrolls to the end, so that the new control has something to reset.
    void MoveToEnd() {
        SendMessageW(editor_.Handle(), EM_SETSEL, text_.size(), text_.size());
        SendMessageW(editor_.Handle(), EM_SCROLLCARET, 0, 0);
    }

    void ExpectKeptAfterToggle(HWND before) {
        HWND now = editor_.Handle();
        EXPECT_NE(now, before);
        EXPECT_FALSE(IsWindow(before));
        EXPECT_EQ(EditorText(), text_);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(now, WM_GETFONT, 0, 0)), font_);
        EXPECT_EQ(editor_.TextColour(), RGB(255, 0, 0));
        EXPECT_GT(CountEditorPixels(RGB(255, 0, 0)), 20);
        EXPECT_EQ(GetDlgCtrlID(now), IDC_EDITOR);
        RECT place;
        GetWindowRect(now, &place);
        EXPECT_TRUE(EqualRect(&place, &place_));
        EXPECT_TRUE(IsWindowVisible(now));
        EXPECT_EQ(GetFocus(), now);
        EXPECT_EQ(SelectionStart(), 0u);
        EXPECT_EQ(SelectionEnd(), 0u);
        EXPECT_EQ(SendMessageW(now, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
        const LRESULT origin = SendMessageW(now, EM_POSFROMCHAR, 0, 0);
        EXPECT_GE(static_cast<short>(LOWORD(origin)), 0);
        EXPECT_LT(static_cast<short>(LOWORD(origin)), 10);
        EXPECT_FALSE(CanUndo());
    }

    std::wstring text_;
    HFONT font_ = nullptr;
    RECT place_{};
};

TEST_F(WordWrapTest, TwoTogglesKeepTextFontColourPlaceAndFocus) {
    ASSERT_TRUE(WordWrapChecked(formatMenu_));
    ASSERT_GT(LineCount(), 41);  // the long line wraps at start-up
    MoveToEnd();
    HWND first = editor_.Handle();

    ToggleWordWrap(formatMenu_, editor_);
    EXPECT_FALSE(WordWrapChecked(formatMenu_));
    EXPECT_FALSE(editor_.WordWrap());
    EXPECT_EQ(LineCount(), 41);
    EXPECT_EQ(Style() & (WS_HSCROLL | ES_AUTOHSCROLL), WS_HSCROLL | ES_AUTOHSCROLL);
    EXPECT_TRUE(Style() & WS_VSCROLL);
    ExpectKeptAfterToggle(first);

    MoveToEnd();
    HWND second = editor_.Handle();
    ToggleWordWrap(formatMenu_, editor_);
    EXPECT_TRUE(WordWrapChecked(formatMenu_));
    EXPECT_TRUE(editor_.WordWrap());
    EXPECT_GT(LineCount(), 41);
    EXPECT_EQ(Style() & (WS_HSCROLL | ES_AUTOHSCROLL), 0);
    EXPECT_TRUE(Style() & WS_VSCROLL);
    ExpectKeptAfterToggle(second);
}

TEST_F(WordWrapTest, TheModifiedFlagIsCarriedOver) {
    for (const bool modified : {true, false}) {
        SendMessageW(editor_.Handle(), EM_SETMODIFY, modified, 0);
        ToggleWordWrap(formatMenu_, editor_);
        EXPECT_EQ(editor_.IsModified(), modified);
        ToggleWordWrap(formatMenu_, editor_);
        EXPECT_EQ(editor_.IsModified(), modified);
    }
}

// ---- Font dialog ---------------------------------------------------------------------------

// What the font dialog shows.
struct FontDialogView {
    bool taken = false;
    bool ownerEnabled = true;
    HWND owner = nullptr;
    std::wstring face;
    LRESULT style = CB_ERR;  // item data of the chosen style: MAKELONG(weight, italic)
    std::wstring size;
    COLORREF colour = CLR_INVALID;
    bool strikeout = false;
    bool underline = false;
};

std::wstring SelectedText(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

LRESULT SelectedData(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? CB_ERR : SendMessageW(combo, CB_GETITEMDATA, index, 0);
}

FontDialogView ReadFontDialog(HWND dialog, HWND mainWindow) {
    FontDialogView view;
    view.taken = true;
    view.ownerEnabled = IsWindowEnabled(mainWindow) != FALSE;
    view.owner = GetWindow(dialog, GW_OWNER);
    view.face = SelectedText(GetDlgItem(dialog, cmb1));
    view.style = SelectedData(GetDlgItem(dialog, cmb2));
    view.size = SelectedText(GetDlgItem(dialog, cmb3));
    view.colour = static_cast<COLORREF>(SelectedData(GetDlgItem(dialog, cmb4)));
    view.strikeout = IsDlgButtonChecked(dialog, chx1) == BST_CHECKED;
    view.underline = IsDlgButtonChecked(dialog, chx2) == BST_CHECKED;
    return view;
}

void Select(HWND dialog, int id, LRESULT index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

LRESULT FindData(HWND dialog, int id, LRESULT data) {
    const LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, i, 0) == data) return i;
    return CB_ERR;
}

// Picks Tahoma (or the first face), bold, 12 points and red as a user would, then OK.
void ChooseRedBold12(HWND dialog, std::wstring* face) {
    LRESULT faceIndex = SendDlgItemMessageW(dialog, cmb1, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Tahoma"));
    if (faceIndex == CB_ERR) faceIndex = 0;
    Select(dialog, cmb1, faceIndex);
    *face = SelectedText(GetDlgItem(dialog, cmb1));
    Select(dialog, cmb2, FindData(dialog, cmb2, MAKELONG(FW_BOLD, 0)));
    Select(dialog, cmb3, SendDlgItemMessageW(dialog, cmb3, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"12")));
    Select(dialog, cmb4, FindData(dialog, cmb4, RGB(255, 0, 0)));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

using FontDialogTest = EditCommandsTest;

TEST_F(FontDialogTest, FirstRunStartsEmptyAndBlackAndTheNextDialogOpensOnTheChoice) {
    ASSERT_EQ(CurrentLastFontChoice().faceName, "") << "each test runs in a fresh process";
    SetEditorText(L"MWMWMWMW 中文中文");
    ASSERT_EQ(CountEditorPixels(RGB(255, 0, 0)), 0);

    FontDialogView first, second;
    std::wstring face;
    Dialogs().Answer([&](HWND dialog) {
        first = ReadFontDialog(dialog, window_);
        ChooseRedBold12(dialog, &face);
    });
    Dialogs().Answer([&](HWND dialog) {
        second = ReadFontDialog(dialog, window_);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });

    ChooseEditorFont(window_, editor_);

    ASSERT_TRUE(first.taken);
    EXPECT_FALSE(first.ownerEnabled);
    EXPECT_EQ(first.owner, window_);
    EXPECT_EQ(first.colour, RGB(0, 0, 0));
    // Not bold: the dialog shows the regular (or, for some faces, medium) style of its first font.
    EXPECT_LT(first.style & 0xFFFF, FW_SEMIBOLD);
    EXPECT_FALSE(first.strikeout);
    EXPECT_FALSE(first.underline);

    const LastFontChoice& chosen = CurrentLastFontChoice();
    ASSERT_FALSE(face.empty());
    EXPECT_EQ(chosen.faceName, NarrowText(face));
    EXPECT_EQ(chosen.colour, RGB(255, 0, 0));
    EXPECT_TRUE(chosen.bold);
    EXPECT_FALSE(chosen.italic);
    EXPECT_EQ(chosen.size, 12);

    const LOGFONTW applied = EditorLogFont();
    EXPECT_EQ(applied.lfHeight, LogHeightFromPoints(12, ScreenPixelsPerInchY()));
    EXPECT_EQ(applied.lfWeight, FW_BOLD);
    EXPECT_EQ(applied.lfCharSet, 0);
    EXPECT_EQ(std::wstring(applied.lfFaceName), face);
    EXPECT_EQ(editor_.TextColour(), RGB(255, 0, 0));
    EXPECT_GT(CountEditorPixels(RGB(255, 0, 0)), 20);
    HideCaret(editor_.Handle());
    EXPECT_EQ(CountEditorPixels(RGB(0, 0, 0)), 0) << "no text left in black";
    ShowCaret(editor_.Handle());

    // The next dialog opens on that choice; cancelling it changes nothing.
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0));
    ChooseEditorFont(window_, editor_);
    ASSERT_TRUE(second.taken);
    EXPECT_EQ(second.face, face);
    EXPECT_EQ(second.style, MAKELONG(FW_BOLD, 0));
    EXPECT_EQ(second.size, L"12");
    EXPECT_EQ(second.colour, RGB(255, 0, 0));
    EXPECT_EQ(CurrentLastFontChoice().colour, RGB(255, 0, 0));
    EXPECT_EQ(CurrentLastFontChoice().size, 12);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(editor_.TextColour(), RGB(255, 0, 0));
}

TEST_F(FontDialogTest, CancelChangesNothing) {
    const LastFontChoice before = CurrentLastFontChoice();
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0));
    Dialogs().Answer([](HWND dialog) {
        Select(dialog, cmb4, FindData(dialog, cmb4, RGB(0, 0, 255)));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });

    ChooseEditorFont(window_, editor_);

    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(editor_.TextColour(), RGB(0, 0, 0));
    EXPECT_EQ(CurrentLastFontChoice().colour, before.colour);
    EXPECT_EQ(CurrentLastFontChoice().faceName, before.faceName);
    EXPECT_EQ(CurrentLastFontChoice().size, before.size);
    EXPECT_TRUE(IsWindowEnabled(window_));
}

TEST(FontSizeTest, PointsAndHeightsRoundAsMulDiv) {
    // 10.5 points on a 96-dpi screen: the dialog's -14 is remembered as 11 and applied as -15.
    EXPECT_EQ(PointsFromLogHeight(-14, 96), 11);
    EXPECT_EQ(LogHeightFromPoints(11, 96), -15);
    EXPECT_EQ(PointsFromLogHeight(-16, 96), 12);
    EXPECT_EQ(PointsFromLogHeight(16, 96), 12);
    EXPECT_EQ(LogHeightFromPoints(12, 96), -16);
    EXPECT_EQ(LogHeightFromPoints(12, 120), -20);
    EXPECT_EQ(LogHeightFromPoints(0, 96), 0);
}

}  // namespace
}  // namespace tolvarinth::uitest

// The editor control as the program creates it, and the text and modified-flag operations the
// document uses (code page 936 on our side, UTF-16 in the control).
#include "ui/editor_box_win32.h"

#include <gtest/gtest.h>

#include "file/codepage_win32.h"
#include "ui/resource_ids.h"

namespace tolvarinth {
namespace {

class EditorBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 300, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        ASSERT_TRUE(editor_.Create(parent_));
        ASSERT_NE(editor_.Handle(), nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }

    LONG_PTR Style() const { return GetWindowLongPtrW(editor_.Handle(), GWL_STYLE); }
    std::wstring WideText() const {
        wchar_t buffer[256] = {};
        GetWindowTextW(editor_.Handle(), buffer, 256);
        return buffer;
    }
    DWORD SelectionStart() const {
        DWORD start = 0, end = 0;
        SendMessageW(editor_.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start;
    }
    DWORD SelectionEnd() const {
        DWORD start = 0, end = 0;
        SendMessageW(editor_.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end;
    }

    HWND parent_ = nullptr;
    Win32EditorBox editor_;
};

TEST_F(EditorBoxTest, CreatedAsAWrappingMultiLineEditWithASunkenBorder) {
    wchar_t className[32] = {};
    GetClassNameW(editor_.Handle(), className, 32);
    EXPECT_EQ(_wcsicmp(className, L"EDIT"), 0);
    EXPECT_EQ(GetParent(editor_.Handle()), parent_);
    EXPECT_EQ(GetDlgCtrlID(editor_.Handle()), IDC_EDITOR);
    const LONG_PTR wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
    EXPECT_EQ(Style() & wanted, wanted);
    EXPECT_EQ(Style() & (ES_AUTOHSCROLL | WS_HSCROLL | ES_CENTER | ES_RIGHT | ES_READONLY | ES_PASSWORD), 0);
    EXPECT_TRUE(GetWindowLongPtrW(editor_.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(editor_.WordWrap());
}

TEST_F(EditorBoxTest, StartsEmptyUnmodifiedWithTheCaretAtTheStartAndNoLengthLimit) {
    EXPECT_EQ(editor_.GetText(), "");
    EXPECT_FALSE(editor_.IsModified());
    EXPECT_EQ(SelectionStart(), 0u);
    EXPECT_EQ(SelectionEnd(), 0u);
    // EM_LIMITTEXT 0 lifts the 32767-character default to the platform's maximum.
    EXPECT_GT(static_cast<unsigned long>(SendMessageW(editor_.Handle(), EM_GETLIMITTEXT, 0, 0)), 0x7FFF0000ul);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(editor_.Handle(), WM_GETFONT, 0, 0)),
              static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(EditorBoxTest, TextGoesInAndOutAsCodePage936) {
    const std::string text = "第一行 line\r\n第二行";
    editor_.SetText(text);
    EXPECT_EQ(WideText(), L"\u7B2C\u4E00\u884C line\r\n\u7B2C\u4E8C\u884C");
    EXPECT_EQ(editor_.GetText(), text);
}

TEST_F(EditorBoxTest, SetTextPutsTheCaretAtTheStartAndDoesNotMarkAChange) {
    editor_.SetText("abc");
    SendMessageW(editor_.Handle(), EM_SETSEL, 3, 3);
    editor_.SetText("hello world");
    EXPECT_EQ(SelectionStart(), 0u);
    EXPECT_EQ(SelectionEnd(), 0u);
    EXPECT_FALSE(editor_.IsModified());
}

TEST_F(EditorBoxTest, UserChangesSetTheModifiedFlagAndClearModifiedClearsIt) {
    SendMessageW(editor_.Handle(), WM_CHAR, L'a', 0);
    EXPECT_EQ(editor_.GetText(), "a");
    EXPECT_TRUE(editor_.IsModified());
    editor_.ClearModified();
    EXPECT_FALSE(editor_.IsModified());
}

TEST_F(EditorBoxTest, PaintsBlackTextOnASolidWhiteBrush) {
    HDC dc = GetDC(editor_.Handle());
    ASSERT_NE(dc, nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    HBRUSH brush = editor_.OnCtlColor(dc);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    ReleaseDC(editor_.Handle(), dc);
    LOGBRUSH info{};
    ASSERT_EQ(GetObjectW(brush, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(info.lbColor, RGB(255, 255, 255));
}

}  // namespace
}  // namespace tolvarinth

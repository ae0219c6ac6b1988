// The Edit, Format and Help commands run from the program's own main window menu.
#include <gtest/gtest.h>

#include <string>

#include "tests/editformat/editor_window.h"
#include "tests/mainwin/editor_fixture.h"
#include "ui/about_window.h"
#include "ui/edit_commands.h"
#include "ui/resource_ids.h"

namespace tolvarinth::mainwintest {
namespace {

std::tm NewYearsEve() {
    std::tm t{};
    t.tm_year = 99;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 14;
    t.tm_sec = 9;
    return t;
}

class MenuCommandsTest : public RunningEditorTest {
protected:
    void SetUp() override {
        RunningEditorTest::SetUp();
        SetTimeLimit(15000);
        ASSERT_TRUE(Start());
    }
    void TearDown() override {
        SetLocalClock(nullptr);
        RunningEditorTest::TearDown();
    }
    void Command(int id) {
        PostMessageW(Main(), WM_COMMAND, id, 0);
        FlushPosted();
    }
    bool WordWrapChecked() {
        return (GetMenuState(GetMenu(Main()), IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
};

TEST_F(MenuCommandsTest, DateAndTimeGoIntoTheEditorAsChanges) {
    SetLocalClock(NewYearsEve);
    Command(IDM_EDIT_DATE);
    PostChars(Editor(), L" ");
    Command(IDM_EDIT_TIME);
    EXPECT_EQ(EditorBox().GetText(), "1999年12月31日 14时0分9秒");
    EXPECT_TRUE(EditorBox().IsModified());
}

TEST_F(MenuCommandsTest, WordWrapRecreatesTheEditorThatTheWindowStillColoursAndFocuses) {
    Type(L"some words to keep");
    EditorBox().SetTextColour(RGB(255, 0, 0));
    HWND first = Editor();

    Command(IDM_FORMAT_WORD_WRAP);
    EXPECT_FALSE(WordWrapChecked());
    EXPECT_NE(Editor(), first);
    EXPECT_EQ(GetFocus(), Editor());
    EXPECT_EQ(EditorBox().GetText(), "some words to keep");
    EXPECT_TRUE(EditorBox().IsModified());
    RedrawWindow(Editor(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HideCaret(Editor());
    EXPECT_GT(CountWindowPixels(Editor(), RGB(255, 0, 0)), 20) << "the main window colours the new editor";
    EXPECT_EQ(CountWindowPixels(Editor(), RGB(0, 0, 0)), 0);
    ShowCaret(Editor());

    // A dialog later, the focus comes back to the new editor.
    Dialogs().Answer([](HWND) { PostKey(GetFocus(), VK_ESCAPE); }, DialogMatch{"", "TolvarinthAboutWindow"});
    Command(IDM_HELP_ABOUT);
    EXPECT_EQ(Dialogs().AnsweredCount(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == Editor(); }, 2000));

    Command(IDM_FORMAT_WORD_WRAP);
    EXPECT_TRUE(WordWrapChecked());
    EXPECT_EQ(GetFocus(), Editor());
}

TEST_F(MenuCommandsTest, AboutAndFontDialogAreModalOverTheMainWindow) {
    bool aboutOverDisabledMain = false, fontOverDisabledMain = false;
    Dialogs().Answer([&](HWND about) {
        aboutOverDisabledMain = GetWindow(about, GW_OWNER) == Main() && !IsWindowEnabled(Main());
        PostMessageW(GetDlgItem(about, kAboutCloseButtonId), BM_CLICK, 0, 0);
    }, DialogMatch{"", "TolvarinthAboutWindow"});
    Dialogs().Answer([&](HWND font) {
        fontOverDisabledMain = GetWindow(font, GW_OWNER) == Main() && !IsWindowEnabled(Main());
        PostMessageW(font, WM_COMMAND, IDCANCEL, 0);
    });

    Command(IDM_HELP_ABOUT);
    EXPECT_TRUE(aboutOverDisabledMain);
    EXPECT_TRUE(IsWindowEnabled(Main()));
    EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == Main() && GetFocus() == Editor(); }, 2000));

    Command(IDM_FORMAT_FONT);
    EXPECT_TRUE(fontOverDisabledMain);
    EXPECT_TRUE(IsWindowEnabled(Main()));
    EXPECT_EQ(SendMessageW(Editor(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

}  // namespace
}  // namespace tolvarinth::mainwintest

// The progress dialog: its template, what it shows, its stop button and Escape, and the windows
// it disables while open.
#include "ui/print_progress.h"

#include <gtest/gtest.h>

#include "tests/support/ui_harness.h"
#include "ui/print_progress_ids.h"

namespace tolvarinth {
namespace {

using namespace uitest;

thread_local int tStops = 0;
void CountStop(void*) { ++tStops; }

class PrintProgressTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Dialogs().Ignore(DialogMatch{"正在进行打印"});
        main_ = MakeWindow(L"main");
        other_ = MakeWindow(L"other");
        disabled_ = MakeWindow(L"disabled");
        EnableWindow(disabled_, FALSE);
        tStops = 0;
        ASSERT_TRUE(progress_.Open(main_, L"未命名打印作业", L"Tolvarinth PS A 上的 FILE:", 1, 1, CountStop, nullptr));
    }
    void TearDown() override {
        progress_.Close();
        for (HWND window : {main_, other_, disabled_}) DestroyAndDrain(window);
        UiTest::TearDown();
    }
    static HWND MakeWindow(const wchar_t* title) {
        return CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

    HWND main_ = nullptr;
    HWND other_ = nullptr;
    HWND disabled_ = nullptr;
    PrintProgressDialog progress_;
};

TEST_F(PrintProgressTest, TemplateMatchesTheLayout) {
    const DialogSnapshot shot = TakeSnapshot(progress_.Window());
    EXPECT_EQ(shot.caption, "正在进行打印，请稍候 ......");
    EXPECT_EQ(shot.style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME), WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    EXPECT_EQ(shot.style & WS_SYSMENU, 0) << "no close box";
    EXPECT_EQ(shot.owner, main_);

    RECT client = {0, 0, 244, 114};
    MapDialogRect(progress_.Window(), &client);
    EXPECT_EQ(shot.clientRect.right, client.right);
    EXPECT_EQ(shot.clientRect.bottom, client.bottom);

    struct Expected {
        int id;  // -1: a label, found by its text
        const char* text;
        RECT units;  // left, top, width, height
    };
    const Expected expected[] = {
        {-1, "打印作业名：", {5, 9, 88, 8}},
        {IDC_PRINT_JOB_NAME, "未命名打印作业", {100, 9, 139, 8}},
        {-1, "打印目的：", {5, 22, 88, 8}},
        {IDC_PRINT_DESTINATION, "Tolvarinth PS A 上的 FILE:", {5, 35, 234, 8}},
        {-1, "已打印份数：", {5, 60, 88, 8}},
        {IDC_PRINT_COPIES, "1", {100, 60, 139, 8}},
        {-1, "当前页号：", {5, 74, 88, 8}},
        {IDC_PRINT_PAGE, "1", {100, 74, 139, 8}},
        {IDCANCEL, "中止打印", {75, 91, 55, 16}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(&e - expected);
        const ControlSnapshot* control = nullptr;
        for (const ControlSnapshot& c : shot.controls)
            if ((e.id != -1 && c.id == e.id) || (e.id == -1 && c.text == e.text)) control = &c;
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->text, e.text);
        RECT pixels = e.units;  // place and size converted on their own, as the dialog does
        MapDialogRect(progress_.Window(), &pixels);
        EXPECT_EQ(control->rect.left, pixels.left);
        EXPECT_EQ(control->rect.top, pixels.top);
        EXPECT_EQ(control->rect.right - control->rect.left, pixels.right);
        EXPECT_EQ(control->rect.bottom - control->rect.top, pixels.bottom);
    }
    EXPECT_EQ(shot.Find(IDC_PRINT_DESTINATION)->style & SS_TYPEMASK, SS_CENTER);
    bool rule = false;
    for (const ControlSnapshot& c : shot.controls) rule = rule || (c.style & SS_TYPEMASK) == SS_BLACKFRAME;
    EXPECT_TRUE(rule);
}

TEST_F(PrintProgressTest, CountsPagesUp) {
    progress_.ShowPage(2);
    progress_.ShowPage(3);
    EXPECT_EQ(WindowTextA(GetDlgItem(progress_.Window(), IDC_PRINT_PAGE)), "3");
    EXPECT_EQ(WindowTextA(GetDlgItem(progress_.Window(), IDC_PRINT_COPIES)), "1");
}

TEST_F(PrintProgressTest, DisablesTheOtherWindowsAndRestoresThemAsTheyWere) {
    EXPECT_FALSE(IsWindowEnabled(main_));
    EXPECT_FALSE(IsWindowEnabled(other_));
    EXPECT_TRUE(IsWindowEnabled(progress_.Window()));
    progress_.Close();
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_TRUE(IsWindowEnabled(other_));
    EXPECT_FALSE(IsWindowEnabled(disabled_));
    EXPECT_FALSE(progress_.IsOpen());
}

TEST_F(PrintProgressTest, StopButtonAndEscapeAskToStop) {
    HWND dialog = progress_.Window();
    SetPumpTranslator([dialog](MSG& message) { return IsDialogMessageW(dialog, &message) != FALSE; });
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(FlushPosted());
    EXPECT_EQ(tStops, 1);
    PostKey(GetDlgItem(dialog, IDCANCEL), VK_ESCAPE);
    ASSERT_TRUE(FlushPosted());
    EXPECT_EQ(tStops, 2);
}

}  // namespace
}  // namespace tolvarinth

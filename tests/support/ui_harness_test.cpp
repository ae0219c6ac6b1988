// The UI test harness itself: answers, records, failures for unused answers and unexpected
// dialogs, posted input, accelerators and the watchdog.
#include "tests/support/ui_harness.h"

#include <gtest/gtest-spi.h>

#include <vector>

namespace tolvarinth::uitest {
namespace {

class UiHarnessTest : public UiTest {};

TEST_F(UiHarnessTest, AnswersAndRecordsAMessageBox) {
    DialogSnapshot shown;
    Dialogs().Answer(Record(&shown, AnswerMessageBox(IDNO)));
    EXPECT_EQ(MessageBoxW(nullptr, L"正文", L"标题", MB_YESNOCANCEL | MB_ICONQUESTION | MB_TASKMODAL), IDNO);
    ASSERT_TRUE(shown.taken);
    EXPECT_EQ(shown.caption, "标题");
    EXPECT_EQ(shown.MessageText(), "正文");
    EXPECT_EQ(shown.VisibleButtonIds(), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(shown.Icon(), LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_EQ(Dialogs().AnsweredCount(), 1u);
}

TEST_F(UiHarnessTest, AnswersInQueueOrderAndChecksTheCaption) {
    Dialogs().Answer(AnswerMessageBox(IDOK), DialogMatch{"first"});
    Dialogs().Answer(CloseBox(), DialogMatch{"second"});
    EXPECT_EQ(MessageBoxW(nullptr, L"1", L"the first", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"2", L"the second", MB_OKCANCEL), IDCANCEL);
}

TEST_F(UiHarnessTest, AnUnusedAnswerIsAFailure) {
    Dialogs().Answer(AnswerMessageBox(IDOK));
    EXPECT_NONFATAL_FAILURE(Dialogs().ExpectAllAnswersUsed(), "never used");
    EXPECT_EQ(Dialogs().PendingAnswers(), 0u);
}

TEST_F(UiHarnessTest, AnUnexpectedDialogIsAFailureAndIsCancelled) {
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = MessageBoxW(nullptr, L"?", L"surprise", MB_YESNOCANCEL), "Unexpected dialog");
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(Dialogs().UnexpectedDialogs().size(), 1u);
    EXPECT_EQ(Dialogs().UnexpectedDialogs()[0], "surprise");
}

TEST_F(UiHarnessTest, EscapeAndEnterReachTheDialog) {
    Dialogs().Answer(PressEscape());
    Dialogs().Answer(PressEnter());
    EXPECT_EQ(MessageBoxW(nullptr, L"esc", L"k", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, L"enter", L"k", MB_YESNOCANCEL), IDYES);
}

TEST_F(UiHarnessTest, PostedCharactersAreHandledBeforeFlushReturns) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    PostChars(edit, L"ab中");
    ASSERT_TRUE(FlushPosted());
    EXPECT_EQ(WindowTextA(edit), "ab中");
    DestroyAndDrain(edit);
}

// A window that records the menu commands it receives.
std::vector<int> gCommands;

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) gCommands.push_back(LOWORD(wParam));
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(UiHarnessTest, KeyChordsReachAcceleratorsAndQuitIsDrained) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CommandWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"UiHarnessTestWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"w", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    ACCEL accel[] = {{FVIRTKEY | FCONTROL, 'S', 42}};
    HACCEL table = CreateAcceleratorTableW(accel, 1);
    SetPumpTranslator([window, table](MSG& msg) { return TranslateAcceleratorW(window, table, &msg) != 0; });
    gCommands.clear();

    ASSERT_TRUE(PressKeyChord(window, 'S', kNoModifier));
    EXPECT_TRUE(gCommands.empty());
    ASSERT_TRUE(PressKeyChord(window, 'S', kCtrl));
    EXPECT_EQ(gCommands, std::vector<int>{42});
    EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);  // released again

    const int quitsBefore = QuitMessagesSeen();
    DestroyAndDrain(window);
    EXPECT_EQ(QuitMessagesSeen(), quitsBefore + 1);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    DestroyAcceleratorTable(table);
}

TEST_F(UiHarnessTest, PumpUntilGivesUpAtItsTimeLimit) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(PumpUntil([] { return false; }, 100));
    EXPECT_GE(GetTickCount64() - start, 90u);
}

TEST_F(UiHarnessTest, WatchdogEndsAForgottenDialog) {
    Dialogs().Ignore(DialogMatch{"forgotten"});
    Watchdog watchdog(300);
    EXPECT_EQ(MessageBoxW(nullptr, L"nobody answers", L"forgotten", MB_OKCANCEL), IDCANCEL);
    EXPECT_TRUE(watchdog.Expired());
}

}  // namespace
}  // namespace tolvarinth::uitest

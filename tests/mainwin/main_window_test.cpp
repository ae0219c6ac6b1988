// The main window: how it is created, the editor's 5-pixel margin, the shortcut keys, Tab, Enter
// and Escape, focus, and the close request with the changes question.
#include "ui/main_window.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <functional>
#include <utility>
#include <vector>

#include "tests/mainwin/editor_fixture.h"
#include "ui/resource_ids.h"

namespace tolvarinth::mainwintest {
namespace {

const char kQuestion[] = "文件已经被修改，是否保存？";
const char kQuestionTitle[] = "询问";
const char kOpenTitle[] = "请输入欲打开的文本文件名：";
const char kSaveTitle[] = "请输入欲保存到的文本文件名：";

class MainWindowTest : public RunningEditorTest {
protected:
    void SetUp() override {
        RunningEditorTest::SetUp();
        ASSERT_TRUE(Start());
    }

    // The editor's rectangle in the main window's client coordinates.
    RECT EditorPlace() {
        RECT place{};
        GetWindowRect(Editor(), &place);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    void ExpectMargins() {
        RECT client{};
        GetClientRect(Main(), &client);
        const RECT place = EditorPlace();
        EXPECT_EQ(place.left, 5);
        EXPECT_EQ(place.top, 5);
        EXPECT_EQ(client.right - place.right, 5) << "client width " << client.right;
        EXPECT_EQ(client.bottom - place.bottom, 5) << "client height " << client.bottom;
    }
};

// ---- Creation -------------------------------------------------------------------------------------

TEST_F(MainWindowTest, ShownCentredAt460By350WithItsCaptionMenuAndIcon) {
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(CaptionOf(Main()), "Tolvarinth");
    RECT frame{};
    GetWindowRect(Main(), &frame);
    EXPECT_EQ(frame.right - frame.left, 460);
    EXPECT_EQ(frame.bottom - frame.top, 350);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 460) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 350) / 2);
    EXPECT_EQ(GetMenu(Main()), app_.Window().Menu());
    EXPECT_NE(GetClassLongPtrW(Main(), GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrW(Main(), GCLP_HICONSM), 0);
    EXPECT_EQ(GetClassLongPtrW(Main(), GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
}

TEST_F(MainWindowTest, ResizableFrameWithTitleBarAndBoxesAndNoExtendedStyle) {
    const LONG_PTR style = GetWindowLongPtrW(Main(), GWL_STYLE);
    const LONG_PTR wanted = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_DISABLED), 0);
    // Windows adds the raised edge of every captioned window by itself.
    EXPECT_EQ(GetWindowLongPtrW(Main(), GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE), 0);
}

TEST_F(MainWindowTest, EditorIsTheOnlyChildAndHasTheFocus) {
    EXPECT_EQ(GetWindow(Main(), GW_CHILD), Editor());
    EXPECT_EQ(GetWindow(Editor(), GW_HWNDNEXT), nullptr);
    EXPECT_TRUE(IsWindowVisible(Editor()));
    // The window's activation reaches it through the display server: give it a moment.
    PumpUntil([&] { return GetFocus() == Editor(); }, 3000);
    EXPECT_EQ(GetFocus(), Editor());
}

TEST_F(MainWindowTest, EditorAsksItsParentForBlackOnWhite) {
    HDC dc = GetDC(Editor());
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(Main(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Editor())));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    ReleaseDC(Editor(), dc);
    LOGBRUSH info{};
    ASSERT_EQ(GetObjectW(brush, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbColor, RGB(255, 255, 255));
}

TEST_F(MainWindowTest, CaptionShowsChineseTextsAsGiven) {
    app_.Window().SetCaption("Tolvarinth - C:\\笔记\\日记.etxt");
    wchar_t caption[128] = {};
    GetWindowTextW(Main(), caption, 128);
    EXPECT_STREQ(caption, L"Tolvarinth - C:\\\u7B14\u8BB0\\\u65E5\u8BB0.etxt");
}

// ---- Layout ---------------------------------------------------------------------------------------

struct LayoutCase {
    const char* name;
    std::function<void(HWND)> change;
};

class MainWindowLayoutTest : public MainWindowTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(MainWindowLayoutTest, EditorKeepsA5PixelMarginOnEverySide) {
    ExpectMargins();  // as first shown
    GetParam().change(Main());
    FlushPosted();
    ExpectMargins();
}

void Resize(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, MainWindowLayoutTest,
    ::testing::Values(LayoutCase{"Grown", [](HWND w) { Resize(w, 720, 530); }},
                      LayoutCase{"Shrunk", [](HWND w) { Resize(w, 200, 160); }},
                      LayoutCase{"Maximised", [](HWND w) { ShowWindow(w, SW_MAXIMIZE); }},
                      LayoutCase{"MaximisedThenRestored",
                                 [](HWND w) {
                                     ShowWindow(w, SW_MAXIMIZE);
                                     ShowWindow(w, SW_RESTORE);
                                 }},
                      LayoutCase{"MinimisedThenRestored",
                                 [](HWND w) {
                                     ShowWindow(w, SW_MINIMIZE);
                                     ShowWindow(w, SW_RESTORE);
                                 }}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

// ---- Shortcut keys --------------------------------------------------------------------------------

// Every key message the editor itself receives.
std::vector<std::pair<UINT, WPARAM>> g_editorKeys;
WNDPROC g_editorProc = nullptr;

LRESULT CALLBACK RecordingEditorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_CHAR || message == WM_SYSKEYDOWN || message == WM_SYSCHAR)
        g_editorKeys.push_back({message, wParam});
    return CallWindowProcW(g_editorProc, window, message, wParam, lParam);
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"<no clipboard>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void SetClipboardText(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

class ShortcutTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_editorKeys.clear();
        g_editorProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(Editor(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingEditorProc)));
    }

    // Presses Ctrl+key in the editor; the editor must see neither the key nor a character.
    void PressCtrl(char key) {
        g_editorKeys.clear();
        ASSERT_TRUE(PressKeyChord(Editor(), static_cast<UINT>(key), kCtrl));
        FlushPosted();
        for (const auto& [message, code] : g_editorKeys) {
            EXPECT_FALSE(message == WM_KEYDOWN && code == static_cast<WPARAM>(key)) << "editor saw Ctrl+" << key;
            EXPECT_FALSE(message == WM_CHAR) << "editor got character " << code << " from Ctrl+" << key;
        }
    }

    void Select(int start, int end) { SendMessageW(Editor(), EM_SETSEL, start, end); }
};

TEST_F(ShortcutTest, CtrlNRunsNewWithTheChangesQuestion) {
    Type(L"draft");
    DialogSnapshot question;
    Dialogs().Answer(Record(&question, AnswerMessageBox(IDNO)), DialogMatch{kQuestionTitle});
    PressCtrl('N');
    EXPECT_EQ(question.MessageText(), kQuestion);
    EXPECT_EQ(EditorBox().GetText(), "");
    EXPECT_FALSE(EditorBox().IsModified());
}

TEST_F(ShortcutTest, CtrlORunsOpenWithItsFileDialog) {
    DialogSnapshot dialog;
    Dialogs().Answer(Record(&dialog, PressButton(IDCANCEL)), DialogMatch{kOpenTitle});
    PressCtrl('O');
    EXPECT_TRUE(dialog.taken);
}

TEST_F(ShortcutTest, CtrlSRunsSaveWhichAsksWhereForAnUntitledNote) {
    Type(L"draft");
    DialogSnapshot dialog;
    Dialogs().Answer(Record(&dialog, PressButton(IDCANCEL)), DialogMatch{kSaveTitle});
    PressCtrl('S');
    EXPECT_TRUE(dialog.taken);
    EXPECT_TRUE(EditorBox().IsModified());
}

// Wine has no printer here: its print dialog says so in a message box of its own and then ends
// without showing itself. Both are activated, in either order, and get the same answer.
bool AnyPrinterInstalled() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    return needed > 0;
}

TEST_F(ShortcutTest, CtrlPRunsPrintWithThePrintDialog) {
    Type(L"to print");
    int answered = 0;
    int ofTheMainWindow = 0;
    const HWND main = Main();
    const DialogAction cancel = [&, main](HWND dialog) {
        ++answered;
        for (HWND w = GetWindow(dialog, GW_OWNER); w != nullptr; w = GetWindow(w, GW_OWNER))
            if (w == main) ++ofTheMainWindow;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    Dialogs().Answer(cancel);
    // Without any printer the system first says so, then shows the dialog.
    if (!AnyPrinterInstalled()) Dialogs().Answer(cancel);
    PressCtrl('P');
    EXPECT_GE(answered, 1);
    EXPECT_EQ(ofTheMainWindow, answered);
}

TEST_F(ShortcutTest, CtrlZUndoesTyping) {
    Type(L"abc");
    PressCtrl('Z');
    EXPECT_EQ(EditorBox().GetText(), "");
}

TEST_F(ShortcutTest, CtrlXCutsTheSelection) {
    EditorBox().SetText("hello");
    Select(1, 4);
    PressCtrl('X');
    EXPECT_EQ(EditorBox().GetText(), "ho");
    EXPECT_EQ(ClipboardText(), L"ell");
}

TEST_F(ShortcutTest, CtrlCCopiesTheSelection) {
    EditorBox().SetText("hello");
    Select(0, 2);
    PressCtrl('C');
    EXPECT_EQ(ClipboardText(), L"he");
    EXPECT_EQ(EditorBox().GetText(), "hello");
}

TEST_F(ShortcutTest, CtrlVPastesTheClipboard) {
    SetClipboardText(L"pasted \u4E2D\u6587");
    PressCtrl('V');
    EXPECT_EQ(EditorBox().GetText(), "pasted 中文");
}

TEST_F(ShortcutTest, CtrlASelectsTheWholeText) {
    EditorBox().SetText("hello\r\nworld");
    PressCtrl('A');
    EXPECT_EQ(SelectionStart(), 0u);
    EXPECT_EQ(SelectionEnd(), 12u);
}

TEST_F(ShortcutTest, TabAndShiftTabTypeNothingAndLeaveTheCaret) {
    EditorBox().SetText("abc");
    Select(1, 1);
    ASSERT_TRUE(PressKeyChord(Editor(), VK_TAB, kNoModifier));
    ASSERT_TRUE(PressKeyChord(Editor(), VK_TAB, kShift));
    EXPECT_EQ(EditorBox().GetText(), "abc");
    EXPECT_EQ(SelectionStart(), 1u);
    EXPECT_EQ(SelectionEnd(), 1u);
    EXPECT_EQ(GetFocus(), Editor());
    EXPECT_FALSE(EditorBox().IsModified());
}

TEST_F(ShortcutTest, EnterStartsANewLineInTheEditor) {
    EditorBox().SetText("abc");
    Select(1, 1);
    ASSERT_TRUE(PressKeyChord(Editor(), VK_RETURN, kNoModifier));
    EXPECT_EQ(EditorBox().GetText(), "a\r\nbc");
}

TEST_F(ShortcutTest, EscapeDoesNotCloseTheWindow) {
    Type(L"abc");
    ASSERT_TRUE(PressKeyChord(Editor(), VK_ESCAPE, kNoModifier));
    FlushPosted();
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(EditorBox().GetText(), "abc");
}

// ---- Focus ----------------------------------------------------------------------------------------

class FocusTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        button_ = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 4, 4, Main(),
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(button_, nullptr);
    }
    HWND button_ = nullptr;
};

TEST_F(FocusTest, TabAndShiftTabMoveAmongTheTabStops) {
    ASSERT_EQ(GetFocus(), Editor());
    ASSERT_TRUE(PressKeyChord(Editor(), VK_TAB, kNoModifier));
    EXPECT_EQ(GetFocus(), button_);
    ASSERT_TRUE(PressKeyChord(button_, VK_TAB, kShift));
    EXPECT_EQ(GetFocus(), Editor());
}

TEST_F(FocusTest, ReturnsToTheChildThatHadItBeforeADialog) {
    SetFocus(button_);
    Dialogs().Answer(PressButton(IDCANCEL), DialogMatch{kOpenTitle});
    PostMessageW(Main(), WM_COMMAND, IDM_FILE_OPEN, 0);
    FlushPosted();
    ASSERT_EQ(Dialogs().AnsweredCount(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == button_; }, 2000));
}

TEST_F(FocusTest, GoesToTheEditorWhenTheWindowItselfGetsIt) {
    SetFocus(Main());
    EXPECT_EQ(GetFocus(), Editor());
}

// ---- Closing --------------------------------------------------------------------------------------

enum class CloseBy { CloseBox, AltF4, FileExit, LogOff };

const char* Name(CloseBy how) {
    switch (how) {
    case CloseBy::CloseBox: return "CloseBox";
    case CloseBy::AltF4: return "AltF4";
    case CloseBy::FileExit: return "FileExit";
    case CloseBy::LogOff: return "LogOff";
    }
    return "?";
}

class CloseTest : public MainWindowTest {
protected:
    // Raises the close request; returns the log-off answer (TRUE/FALSE) or -1.
    LRESULT Request(CloseBy how) {
        LRESULT answer = -1;
        switch (how) {
        case CloseBy::CloseBox: PostMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case CloseBy::AltF4: PressKeyChord(Editor(), VK_F4, kAlt); break;
        case CloseBy::FileExit: PostMessageW(Main(), WM_COMMAND, IDM_FILE_EXIT, 0); break;
        case CloseBy::LogOff: answer = SendMessageW(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); break;
        }
        FlushPosted();
        FlushPosted();  // a posted destruction and what it posts in turn
        return answer;
    }
};

class CloseUnchangedTest : public CloseTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(CloseUnchangedTest, ClosesAtOnceWithoutAQuestion) {
    const LRESULT answer = Request(GetParam());
    if (GetParam() == CloseBy::LogOff) {
        EXPECT_EQ(answer, TRUE);
        EXPECT_TRUE(IsWindowVisible(Main()));  // the window stays until the session ends
    } else {
        EXPECT_FALSE(app_.Window().Exists());
        DrainQuitMessages();
        EXPECT_EQ(QuitMessagesSeen(), 1);  // the message loop ends
    }
    EXPECT_EQ(Dialogs().AnsweredCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseUnchangedTest,
                         ::testing::Values(CloseBy::CloseBox, CloseBy::AltF4, CloseBy::FileExit, CloseBy::LogOff),
                         [](const ::testing::TestParamInfo<CloseBy>& info) { return std::string(Name(info.param)); });

struct ChangedCase {
    CloseBy how;
    int answer;  // IDYES, IDNO, IDCANCEL
};

class CloseChangedTest : public CloseTest, public ::testing::WithParamInterface<ChangedCase> {
protected:
    ScratchFolder folder_;
};

// The question comes once; Yes saves (an untitled note asks where), No discards, Cancel keeps
// the window open and, for a log-off, stops it.
TEST_P(CloseChangedTest, AsksOnceAndFollowsTheAnswer) {
    const auto [how, reply] = GetParam();
    const std::string path = folder_.File("closing.etxt");
    Type(L"unsaved words");
    DialogSnapshot question;
    Dialogs().Answer(Record(&question, AnswerMessageBox(reply)), DialogMatch{kQuestionTitle});
    if (reply == IDYES) Dialogs().Answer(ChooseFileName(WidenText(path)), DialogMatch{kSaveTitle});

    const LRESULT logOffAnswer = Request(how);

    EXPECT_EQ(question.MessageText(), kQuestion);
    EXPECT_EQ(question.caption, kQuestionTitle);
    EXPECT_EQ(Dialogs().AnsweredCount(), reply == IDYES ? 2u : 1u);
    const bool accepted = reply != IDCANCEL;
    if (how == CloseBy::LogOff) {
        EXPECT_EQ(logOffAnswer, accepted ? TRUE : FALSE);
        EXPECT_TRUE(app_.Window().Exists());
    } else {
        EXPECT_EQ(app_.Window().Exists(), !accepted);
    }
    if (reply == IDYES)
        EXPECT_EQ(NoteBody(path, ""), "unsaved words");
    else
        EXPECT_FALSE(FileExists(path));
    if (app_.Window().Exists()) {
        EXPECT_EQ(EditorBox().GetText(), "unsaved words");
    }
}

std::vector<ChangedCase> AllChangedCases() {
    std::vector<ChangedCase> cases;
    for (CloseBy how : {CloseBy::CloseBox, CloseBy::AltF4, CloseBy::FileExit, CloseBy::LogOff})
        for (int reply : {IDYES, IDNO, IDCANCEL}) cases.push_back({how, reply});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseChangedTest, ::testing::ValuesIn(AllChangedCases()),
                         [](const ::testing::TestParamInfo<ChangedCase>& info) {
                             const char* reply = info.param.answer == IDYES  ? "Yes"
                                                 : info.param.answer == IDNO ? "No"
                                                                             : "Cancel";
                             return std::string(Name(info.param.how)) + "AnsweredWith" + reply;
                         });

TEST_F(CloseTest, DestroyRemovesTheWindowOnceBackInTheLoopWithoutTheQuestion) {
    Type(L"unsaved");
    app_.Window().Destroy();
    EXPECT_TRUE(IsWindow(Main()));
    FlushPosted();
    EXPECT_FALSE(app_.Window().Exists());
    EXPECT_EQ(Dialogs().AnsweredCount(), 0u);
}

// Another program's close request while a command has its dialog open must not pull the window
// (and the editor the command works on) away underneath it.
TEST_F(CloseTest, CloseRequestWhileACommandRunsIsRefused) {
    Type(L"unsaved");
    Dialogs().Answer(AnswerMessageBox(IDNO), DialogMatch{kQuestionTitle});
    HWND main = Main();
    Dialogs().Answer(Sequence({[main](HWND) { SendMessageW(main, WM_CLOSE, 0, 0); }, PressButton(IDCANCEL)}),
                     DialogMatch{kOpenTitle});
    PostMessageW(Main(), WM_COMMAND, IDM_FILE_OPEN, 0);
    FlushPosted();
    EXPECT_EQ(Dialogs().AnsweredCount(), 2u);
    EXPECT_TRUE(app_.Window().Exists());
    EXPECT_EQ(EditorBox().GetText(), "unsaved");
}

}  // namespace
}  // namespace tolvarinth::mainwintest

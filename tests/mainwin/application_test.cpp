// Start-up: the note named on the command line is opened while the window is still hidden, so
// its password prompt or message comes before the window shows; other command lines open nothing.
#include "ui/application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mainwin/editor_fixture.h"
#include "ui/resource_ids.h"

namespace tolvarinth::mainwintest {
namespace {

const char kPasswordTitle[] = "请输入打开密码：";
const char kNotANote[] = "文件已损坏或非本程序所创建";
const char kNotANoteTitle[] = "文件错误";
const char kWrongPassword[] = "密码错误 请重新输入";

class StartUpTest : public RunningEditorTest {
protected:
    // An answer that notes whether the main window was visible when the dialog came, then runs then.
    DialogAction SeeingTheWindow(DialogAction then) {
        return [this, then](HWND dialog) {
            ++dialogs_;
            if (app_.Window().Exists() && IsWindowVisible(app_.Window().Handle())) ++whileVisible_;
            then(dialog);
        };
    }

    void ExpectShownAfterEveryDialog() {
        EXPECT_EQ(whileVisible_, 0) << "a dialog came while the main window was visible";
        EXPECT_TRUE(IsWindowVisible(Main()));
    }

    std::string WriteNote(const std::string& name, const std::string& password, const std::string& text) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(WriteNoteFile(path, password, text));
        return path;
    }

    ScratchFolder folder_;
    int dialogs_ = 0;
    int whileVisible_ = 0;
};

TEST_F(StartUpTest, NoArgumentShowsAnEmptyUntitledDocument) {
    ASSERT_TRUE(Start("tolvarinth.exe"));
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(CaptionOf(Main()), "Tolvarinth");
    EXPECT_EQ(EditorBox().GetText(), "");
    EXPECT_FALSE(EditorBox().IsModified());
    ASSERT_NE(app_.Document(), nullptr);
    EXPECT_EQ(app_.Document()->CurrentPath(), "");
}

TEST_F(StartUpTest, ProtectedNoteAsksForThePasswordBeforeTheWindowShows) {
    const std::string path = WriteNote("secret note.etxt", "Pa55", "第一行\r\nsecond line");
    DialogSnapshot prompt;
    Dialogs().Answer(SeeingTheWindow(Record(&prompt, SetTextAndOk(IDC_PROMPT_ENTRY, L"Pa55"))),
                     DialogMatch{kPasswordTitle});
    ASSERT_TRUE(Start("\"C:\\Program Files\\tolvarinth.exe\" \"" + path + "\""));
    EXPECT_EQ(dialogs_, 1);
    ExpectShownAfterEveryDialog();
    EXPECT_EQ(prompt.caption, kPasswordTitle);
    EXPECT_EQ(CaptionOf(Main()), "Tolvarinth - " + path);
    EXPECT_EQ(EditorBox().GetText(), "第一行\r\nsecond line");
    EXPECT_FALSE(EditorBox().IsModified());
}

TEST_F(StartUpTest, WrongPasswordAsksAgainAndCancelStartsEmpty) {
    const std::string path = WriteNote("note.etxt", "right", "hidden");
    Dialogs().Answer(SeeingTheWindow(SetTextAndOk(IDC_PROMPT_ENTRY, L"wrong")), DialogMatch{kPasswordTitle});
    DialogSnapshot message;
    Dialogs().Answer(SeeingTheWindow(Record(&message, AnswerMessageBox(IDOK))), DialogMatch{"密码错误"});
    Dialogs().Answer(SeeingTheWindow(PressButton(IDCANCEL)), DialogMatch{kPasswordTitle});
    ASSERT_TRUE(Start("tolvarinth.exe " + path));
    EXPECT_EQ(dialogs_, 3);
    ExpectShownAfterEveryDialog();
    EXPECT_EQ(message.MessageText(), kWrongPassword);
    EXPECT_EQ(CaptionOf(Main()), "Tolvarinth");
    EXPECT_EQ(EditorBox().GetText(), "");
}

TEST_F(StartUpTest, NoteWithoutPasswordAndAChinesePathOpensWithoutAPrompt) {
    const std::string path = WriteNote("笔记 一.etxt", "", "plain 文本");
    ASSERT_TRUE(Start("tolvarinth.exe \"" + path + "\""));
    EXPECT_EQ(Dialogs().AnsweredCount(), 0u);
    EXPECT_EQ(EditorBox().GetText(), "plain 文本");
    wchar_t caption[MAX_PATH + 32] = {};
    GetWindowTextW(Main(), caption, MAX_PATH + 32);
    EXPECT_EQ(std::wstring(caption), WidenText("Tolvarinth - " + path));
}

TEST_F(StartUpTest, PairOfEmptyQuotesTriesToOpenAndSaysSoBeforeTheWindowShows) {
    DialogSnapshot message;
    Dialogs().Answer(SeeingTheWindow(Record(&message, AnswerMessageBox(IDOK))), DialogMatch{kNotANoteTitle});
    ASSERT_TRUE(Start("tolvarinth.exe \"\""));
    EXPECT_EQ(dialogs_, 1);
    ExpectShownAfterEveryDialog();
    EXPECT_EQ(message.MessageText(), kNotANote);
    EXPECT_EQ(message.caption, kNotANoteTitle);
    EXPECT_EQ(CaptionOf(Main()), "Tolvarinth");
}

// Two arguments, including an unquoted path with a space: nothing is opened and nothing shown
// (an unexpected dialog fails the test).
TEST_F(StartUpTest, TwoArgumentsOpenNothing) {
    const std::string first = WriteNote("a.etxt", "", "first");
    const std::string spaced = WriteNote("b c.etxt", "", "second");
    const std::vector<std::string> commandLines = {"tolvarinth.exe " + first + " " + first,
                                                   "tolvarinth.exe " + spaced, "tolvarinth.exe abc\"def\""};
    for (const std::string& commandLine : commandLines) {
        SCOPED_TRACE(commandLine);
        Application app;
        ASSERT_TRUE(app.Start(GetModuleHandleW(nullptr), commandLine));
        FlushPosted();
        EXPECT_TRUE(IsWindowVisible(app.Window().Handle()));
        EXPECT_EQ(WindowTextA(app.Window().Handle()), "Tolvarinth");
        EXPECT_EQ(app.Window().Editor().GetText(), "");
        DestroyAndDrain(app.Window().Handle());
    }
    EXPECT_EQ(Dialogs().AnsweredCount(), 0u);
}

TEST_F(StartUpTest, MessageLoopEndsWhenTheWindowIsClosedAndReturnsZero) {
    ASSERT_TRUE(Start());
    PostMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app_.RunMessageLoop(), 0);
    EXPECT_FALSE(app_.Window().Exists());
}

}  // namespace
}  // namespace tolvarinth::mainwintest

#include "document/note_document.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "crypto/digest_text.h"
#include "document/note_format.h"

namespace tolvarinth {
namespace {

const std::string kEmptyCheck = "d41d8cd98f00b204e9800998ecf8427e";
const std::string kHint = "预清除密码此处请留空";

// What the user is shown, one line per prompt, question, message or dialog.
std::string Prompt(const std::string& title, const std::string& hint = "") {
    return "prompt: " + title + " / " + hint;
}
std::string Message(const std::string& text, const std::string& title, bool errorIcon) {
    return "message: " + text + " / " + title + (errorIcon ? " / error icon" : " / no icon");
}
std::string Question(const std::string& text, const std::string& title) {
    return "question: " + text + " / " + title;
}
std::string Dialog(FileDialogKind kind, const std::string& title) {
    return (kind == FileDialogKind::Open ? "open dialog: " : "save dialog: ") + title;
}

const std::string kOpenPrompt = Prompt("请输入打开密码：");
const std::string kOldPrompt = Prompt("请输入原始密码：");
const std::string kNewPrompt = Prompt("请输入新密码：");
const std::string kConfirmPrompt = Prompt("请再次确认新密码：");
const std::string kNewPromptWithHint = Prompt("请输入新密码：", kHint);
const std::string kConfirmPromptWithHint = Prompt("请再次确认新密码：", kHint);
const std::string kChangesQuestion = Question("文件已经被修改，是否保存？", "询问");
const std::string kOpenDialog = Dialog(FileDialogKind::Open, "请输入欲打开的文本文件名：");
const std::string kSaveDialog = Dialog(FileDialogKind::Save, "请输入欲保存到的文本文件名：");
const std::string kSaveAsDialog = Dialog(FileDialogKind::Save, "请输入欲另存到的文本文件名：");
const std::string kNotANote = Message("文件已损坏或非本程序所创建", "文件错误", false);
const std::string kWrongPassword = Message("密码错误 请重新输入", "密码错误", false);
const std::string kOpenFailed = Message("打开文件失败！", "错误", true);
const std::string kSaveFailed = Message("保存文件失败！", "错误", true);
const std::string kMismatch = Message("密码更改失败 两次输入的新密码不匹配", "密码错误", false);
const std::string kWrongOldPassword = Message("原始密码错误 请重新输入", "密码错误", false);

class FakeEditor : public EditorBox {
public:
    std::string GetText() const override { return text; }
    void SetText(const std::string& newText) override { text = newText; }
    bool IsModified() const override { return modified; }
    void ClearModified() override { modified = false; }
    void Type(const std::string& newText) {
        text = newText;
        modified = true;
    }

    std::string text;
    bool modified = false;
};

class FakeWindow : public MainWindow {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void Destroy() override { destroyed = true; }

    std::string caption = "Tolvarinth";  // as the window is created
    bool destroyed = false;
};

// Answers from a script and records everything it shows.
class ScriptedUi : public DocumentUi {
public:
    PromptResult PromptPassword(const std::string& title, const std::string& hint) override {
        shown.push_back(Prompt(title, hint));
        PromptResult result;
        if (passwords.empty()) {
            ADD_FAILURE() << "unexpected password prompt";
            return result;
        }
        if (passwords.front()) {
            result.confirmed = true;
            result.text = SecretText(*passwords.front());
        }
        passwords.pop_front();
        return result;
    }
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override {
        shown.push_back(Question(text, title));
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question";
            return Answer::Cancel;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const std::string& text, const std::string& title, bool errorIcon) override {
        shown.push_back(Message(text, title, errorIcon));
    }
    std::optional<std::string> ChooseNoteFile(FileDialogKind kind, const std::string& title) override {
        shown.push_back(Dialog(kind, title));
        if (paths.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        std::optional<std::string> path = paths.front();
        paths.pop_front();
        return path;
    }
    bool ScriptUsedUp() const { return passwords.empty() && answers.empty() && paths.empty(); }

    std::deque<std::optional<std::string>> passwords;  // nullopt: the prompt is cancelled
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> paths;  // nullopt: the dialog is cancelled
    std::vector<std::string> shown;
};

// The notes on disk, with faults on demand; counts headers left open.
class TestNoteFiles : public NoteFiles {
public:
    NoteHeader OpenHeader(const std::string& path) override {
        ++openHeaders;
        return NoteFiles::OpenHeader(path);
    }
    void CloseHeader(NoteHeader& header) override {
        --openHeaders;
        NoteFiles::CloseHeader(header);
    }
    bool ReadBody(const std::string& path, std::string_view password, std::string& text) override {
        bodyReadPasswords.emplace_back(password);
        return !failBodyRead && NoteFiles::ReadBody(path, password, text);
    }
    bool Write(const std::string& path, std::string_view password, std::string_view text) override {
        return !failWrite && NoteFiles::Write(path, password, text);
    }

    int openHeaders = 0;
    bool failBodyRead = false;
    bool failWrite = false;
    std::vector<std::string> bodyReadPasswords;
};

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = ::testing::TempDir() + "tolvarinth_document_" + std::to_string(random()) + "/";
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    bool Empty() const { return std::filesystem::is_empty(path_); }

private:
    std::string path_;
};

std::string ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string HeaderFor(const std::string& password) {
    return std::string(NoteSignature()) + DigestText(password) + "+";
}

// A note on disk holds exactly the header of its password and its body, enciphered when the
// password is not empty.
void ExpectNote(const std::string& path, const std::string& password, const std::string& body) {
    const std::string raw = ReadRaw(path);
    ASSERT_EQ(raw.size(), 100 + body.size());
    EXPECT_EQ(raw.substr(0, 100), HeaderFor(password));
    if (password.empty()) {
        EXPECT_EQ(raw.substr(100), body);
    } else {
        if (!body.empty()) {
            EXPECT_NE(raw.substr(100), body);
        }
        std::string read;
        EXPECT_TRUE(ReadNoteBody(path, password, read));
        EXPECT_EQ(read, body);
    }
}

// One editing session: the editor, window and user, the note files and a folder for them.
struct Desk {
    std::string Path(const std::string& name) const { return folder.path() + name; }
    std::string Caption(const std::string& name) const {
        return name.empty() ? "Tolvarinth" : "Tolvarinth - " + Path(name);
    }
    // Note b.etxt, protected with "pb".
    std::string WriteNoteB() {
        const std::string b = Path("b.etxt");
        EXPECT_TRUE(WriteNoteFile(b, "pb", "note b"));
        return b;
    }
    // The protected note a.etxt ("old"), opened and then edited.
    void StartEditedNote() {
        ASSERT_TRUE(WriteNoteFile(Path("a.etxt"), "old", "first line\r\nsecond"));
        ui.passwords = {"old"};
        ASSERT_TRUE(document.OpenNoteAt(Path("a.etxt")));
        editor.Type("edited");
        ui.shown.clear();
    }
    // An untitled document without password, typed into.
    void StartEditedUntitled() { editor.Type("draft"); }

    void ExpectState(const std::string& pathName, const std::string& password,
                     const std::string& text, bool modified, const std::string& captionName) const {
        EXPECT_EQ(document.CurrentPath(), pathName.empty() ? "" : Path(pathName));
        EXPECT_EQ(document.CurrentPassword().str(), password);
        EXPECT_EQ(editor.text, text);
        EXPECT_EQ(editor.modified, modified);
        EXPECT_EQ(window.caption, Caption(captionName));
    }

    TempFolder folder;
    FakeEditor editor;
    FakeWindow window;
    ScriptedUi ui;
    TestNoteFiles files;
    NoteDocument document{editor, window, ui, files};
};

// ---- The effect of each outcome on the document --------------------------------------------

enum class Start { Fresh, EditedNote, EditedUntitled };

// Expected values are file names in the desk's folder ("" for untitled); nullopt means the
// value the document had before the command.
struct StateRow {
    const char* outcome;
    Start start;
    std::function<void(Desk&)> act;
    std::optional<std::string> path;
    std::optional<std::string> password;
    std::optional<std::string> text;
    std::optional<bool> modified;
    std::optional<std::string> caption;
    std::vector<std::string> shown;
    bool destroyed = false;
};

const auto kSame = std::nullopt;

const StateRow kStateRows[] = {
    {"start-up, no note opened", Start::Fresh, [](Desk&) {},  //
     "", "", "", false, "", {}},
    {"New", Start::EditedNote,
     [](Desk& d) {
         d.ui.answers = {Answer::No};
         d.document.NewDocument();
     },
     "", "", "", false, "", {kChangesQuestion}},
    {"open succeeded", Start::EditedNote,
     [](Desk& d) {
         d.ui.answers = {Answer::No};
         d.ui.paths = {d.WriteNoteB()};
         d.ui.passwords = {"pb"};
         d.document.OpenDocument();
     },
     "b.etxt", "pb", "note b", false, "b.etxt", {kChangesQuestion, kOpenDialog, kOpenPrompt}},
    {"open succeeded, note without password asks for none", Start::EditedNote,
     [](Desk& d) {
         ASSERT_TRUE(WriteNoteFile(d.Path("c.etxt"), "", "note c"));
         d.ui.answers = {Answer::No};
         d.ui.paths = {d.Path("c.etxt")};
         d.document.OpenDocument();
     },
     "c.etxt", "", "note c", false, "c.etxt", {kChangesQuestion, kOpenDialog}},
    {"open: not a note", Start::EditedNote,
     [](Desk& d) {
         WriteRaw(d.Path("plain.txt"), "just some text");
         d.ui.answers = {Answer::No};
         d.ui.paths = {d.Path("plain.txt")};
         d.document.OpenDocument();
     },
     kSame, kSame, kSame, kSame, kSame, {kChangesQuestion, kOpenDialog, kNotANote}},
    {"open: password prompt cancelled after the changes were declined", Start::EditedNote,
     [](Desk& d) {
         d.ui.answers = {Answer::No};
         d.ui.paths = {d.WriteNoteB()};
         d.ui.passwords = {std::nullopt};
         d.document.OpenDocument();
     },
     kSame, kSame, kSame, kSame, kSame, {kChangesQuestion, kOpenDialog, kOpenPrompt}},
    {"open: body cannot be read", Start::EditedNote,
     [](Desk& d) {
         d.files.failBodyRead = true;
         d.ui.answers = {Answer::No};
         d.ui.paths = {d.WriteNoteB()};
         d.ui.passwords = {"pb"};
         d.document.OpenDocument();
     },
     "", "pb", "", false, "", {kChangesQuestion, kOpenDialog, kOpenPrompt, kOpenFailed}},
    {"save succeeded", Start::EditedNote,
     [](Desk& d) {
         d.ui.paths = {d.Path("d.etxt")};
         d.document.SaveDocumentAs();
     },
     "d.etxt", kSame, kSame, false, "d.etxt", {kSaveAsDialog}},
    {"save failed: still modified", Start::EditedNote,
     [](Desk& d) {
         d.ui.paths = {d.Path("no such folder/d.etxt")};
         d.document.SaveDocumentAs();
     },
     kSame, kSame, kSame, kSame, kSame, {kSaveAsDialog, kSaveFailed}},
    {"save dialog cancelled", Start::EditedUntitled,
     [](Desk& d) {
         d.ui.paths = {std::nullopt};
         d.document.SaveDocument();
     },
     kSame, kSame, kSame, kSame, kSame, {kSaveDialog}},
    {"password changed", Start::EditedNote,
     [](Desk& d) {
         d.ui.passwords = {"old", "new", "new"};
         d.document.ChangePassword();
     },
     kSame, "new", kSame, false, kSame, {kOldPrompt, kNewPromptWithHint, kConfirmPromptWithHint}},
    {"password left empty on a document without one, still saved", Start::EditedUntitled,
     [](Desk& d) {
         d.ui.passwords = {"", ""};
         d.ui.paths = {d.Path("n.etxt")};
         d.document.ChangePassword();
         EXPECT_EQ(ReadRaw(d.Path("n.etxt")), std::string(NoteSignature()) + kEmptyCheck + "+draft");
     },
     "n.etxt", "", kSame, false, "n.etxt", {kNewPrompt, kConfirmPrompt, kSaveDialog}},
    {"changes saved, New goes ahead", Start::EditedNote,
     [](Desk& d) {
         d.ui.answers = {Answer::Yes};
         d.document.NewDocument();
     },
     "", "", "", false, "", {kChangesQuestion}},
    {"changes to save but save dialog cancelled: New stops", Start::EditedUntitled,
     [](Desk& d) {
         d.ui.answers = {Answer::Yes};
         d.ui.paths = {std::nullopt};
         d.document.NewDocument();
     },
     kSame, kSame, kSame, kSame, kSame, {kChangesQuestion, kSaveDialog}},
    {"changes to save but the save failed: New stops", Start::EditedNote,
     [](Desk& d) {
         d.files.failWrite = true;
         d.ui.answers = {Answer::Yes};
         d.document.NewDocument();
     },
     kSame, kSame, kSame, kSame, kSame, {kChangesQuestion, kSaveFailed}},
    {"Exit, changes declined", Start::EditedNote,
     [](Desk& d) {
         d.ui.answers = {Answer::No};
         d.document.ExitProgram();
     },
     kSame, kSame, kSame, kSame, kSame, {kChangesQuestion}, true},
    {"Exit, question cancelled", Start::EditedNote,
     [](Desk& d) {
         d.ui.answers = {Answer::Cancel};
         d.document.ExitProgram();
     },
     kSame, kSame, kSame, kSame, kSame, {kChangesQuestion}, false},
};

TEST(NoteDocumentStates, EachOutcomeLeavesPathPasswordTextFlagAndCaptionAsDocumented) {
    for (const StateRow& row : kStateRows) {
        SCOPED_TRACE(row.outcome);
        Desk d;
        if (row.start == Start::EditedNote) d.StartEditedNote();
        if (row.start == Start::EditedUntitled) d.StartEditedUntitled();
        const std::string pathBefore = row.start == Start::EditedNote ? "a.etxt" : "";
        const std::string passwordBefore = d.document.CurrentPassword().str();
        const std::string textBefore = d.editor.text;
        const bool modifiedBefore = d.editor.modified;

        row.act(d);

        d.ExpectState(row.path.value_or(pathBefore), row.password.value_or(passwordBefore),
                      row.text.value_or(textBefore), row.modified.value_or(modifiedBefore),
                      row.caption.value_or(pathBefore));
        EXPECT_EQ(d.ui.shown, row.shown);
        EXPECT_EQ(d.window.destroyed, row.destroyed);
        EXPECT_TRUE(d.ui.ScriptUsedUp());
        EXPECT_EQ(d.files.openHeaders, 0);
        EXPECT_EQ(d.document.EmptyPasswordCheck(), kEmptyCheck);
    }
}

// ---- Flows --------------------------------------------------------------------------------

class NoteDocumentTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(d.ui.ScriptUsedUp());
        EXPECT_EQ(d.files.openHeaders, 0);
    }
    Desk d;
};

TEST_F(NoteDocumentTest, CancelledOpenPromptChangesNothingAndReleasesTheNote) {
    d.StartEditedNote();
    const std::string b = d.WriteNoteB();
    d.ui.answers = {Answer::No};
    d.ui.paths = {b};
    d.ui.passwords = {std::nullopt};
    d.document.OpenDocument();

    d.ExpectState("a.etxt", "old", "edited", true, "a.etxt");
    // The note was not left locked: it opens straight after.
    d.ui.passwords = {"pb"};
    EXPECT_TRUE(d.document.OpenNoteAt(b));
    d.ExpectState("b.etxt", "pb", "note b", false, "b.etxt");
}

TEST_F(NoteDocumentTest, WrongPasswordIsAskedAgainUntilItMatchesOrIsCancelled) {
    const std::string b = d.WriteNoteB();
    d.ui.passwords = {"PB", "pb ", "pb"};
    EXPECT_TRUE(d.document.OpenNoteAt(b));
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kOpenPrompt, kWrongPassword, kOpenPrompt,
                                                    kWrongPassword, kOpenPrompt}));
    d.ExpectState("b.etxt", "pb", "note b", false, "b.etxt");

    d.editor.Type("edited b");
    d.ui.shown.clear();
    d.ui.passwords = {"x", std::nullopt};
    EXPECT_FALSE(d.document.OpenNoteAt(b));
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kOpenPrompt, kWrongPassword, kOpenPrompt}));
    d.ExpectState("b.etxt", "pb", "edited b", true, "b.etxt");
}

TEST_F(NoteDocumentTest, PathThatCannotBeOpenedIsReportedAsNotANote) {
    for (const std::string& path : {d.Path("missing.etxt"), std::string(), d.folder.path()}) {
        SCOPED_TRACE(path);
        d.ui.shown.clear();
        EXPECT_FALSE(d.document.OpenNoteAt(path));
        EXPECT_EQ(d.ui.shown, std::vector<std::string>{kNotANote});
        d.ExpectState("", "", "", false, "");
    }
}

TEST_F(NoteDocumentTest, UnreadableBodyLeavesAnEmptyUntitledDocumentThatSavesWithThePassword) {
    d.StartEditedNote();
    const std::string b = d.WriteNoteB();
    d.files.failBodyRead = true;
    d.ui.passwords = {"pb"};
    EXPECT_FALSE(d.document.OpenNoteAt(b));
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kOpenPrompt, kOpenFailed}));
    EXPECT_EQ(d.files.bodyReadPasswords.back(), "pb");
    d.ExpectState("", "pb", "", false, "");

    d.editor.Type("rescued");
    d.ui.paths = {d.Path("e.etxt")};
    d.document.SaveDocument();
    ExpectNote(d.Path("e.etxt"), "pb", "rescued");
    d.ExpectState("e.etxt", "pb", "rescued", false, "e.etxt");
}

TEST_F(NoteDocumentTest, MismatchedNewPasswordsStillSaveWithTheOldPassword) {
    d.StartEditedNote();
    d.ui.passwords = {"old", "n1", "n2"};
    d.document.ChangePassword();
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kOldPrompt, kNewPromptWithHint,
                                                    kConfirmPromptWithHint, kMismatch}));
    d.ExpectState("a.etxt", "old", "edited", false, "a.etxt");
    ExpectNote(d.Path("a.etxt"), "old", "edited");
}

TEST_F(NoteDocumentTest, TwoEmptyNewEntriesClearThePasswordAndWriteTheNoteInClear) {
    d.StartEditedNote();
    d.ui.passwords = {"OLD", "old", "", ""};
    d.document.ChangePassword();
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kOldPrompt, kWrongOldPassword, kOldPrompt,
                                                    kNewPromptWithHint, kConfirmPromptWithHint}));
    d.ExpectState("a.etxt", "", "edited", false, "a.etxt");
    EXPECT_EQ(ReadRaw(d.Path("a.etxt")), std::string(NoteSignature()) + kEmptyCheck + "+edited");
}

TEST_F(NoteDocumentTest, PasswordOnUntitledDocumentEndsInTheSaveDialog) {
    d.StartEditedUntitled();
    d.ui.passwords = {"s3", "s3"};
    d.ui.paths = {std::nullopt};
    d.document.ChangePassword();
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kNewPrompt, kConfirmPrompt, kSaveDialog}));
    // Cancelling the dialog keeps the new password, with nothing written.
    d.ExpectState("", "s3", "draft", true, "");
    EXPECT_TRUE(d.folder.Empty());

    d.ui.paths = {d.Path("f.etxt")};
    d.document.SaveDocument();
    ExpectNote(d.Path("f.etxt"), "s3", "draft");
}

TEST_F(NoteDocumentTest, SaveAsToUnwritablePathKeepsTheOldNotePathAndCaption) {
    d.StartEditedNote();
    d.ui.paths = {d.Path("no such folder/g.etxt")};
    d.document.SaveDocumentAs();
    EXPECT_EQ(d.ui.shown, (std::vector<std::string>{kSaveAsDialog, kSaveFailed}));
    d.ExpectState("a.etxt", "old", "edited", true, "a.etxt");
    ExpectNote(d.Path("a.etxt"), "old", "first line\r\nsecond");

    d.document.SaveDocument();
    ExpectNote(d.Path("a.etxt"), "old", "edited");
    d.ExpectState("a.etxt", "old", "edited", false, "a.etxt");
}

// Answering Yes to the changes question and then failing to save must not lose the edits: the
// pending command stops and the user can still save elsewhere.
TEST_F(NoteDocumentTest, FailedSaveInTheChangesQuestionStopsThePendingCommand) {
    const struct {
        const char* command;
        std::function<void(NoteDocument&)> run;
    } commands[] = {
        {"New", [](NoteDocument& doc) { doc.NewDocument(); }},
        {"Open", [](NoteDocument& doc) { doc.OpenDocument(); }},
        {"Exit", [](NoteDocument& doc) { doc.ExitProgram(); }},
        {"window close", [](NoteDocument& doc) { EXPECT_TRUE(doc.QuerySaveChanges()); }},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.command);
        Desk desk;
        desk.StartEditedUntitled();
        desk.ui.answers = {Answer::Yes};
        desk.ui.paths = {desk.Path("no such folder/h.etxt")};
        command.run(desk.document);
        EXPECT_EQ(desk.ui.shown, (std::vector<std::string>{kChangesQuestion, kSaveDialog, kSaveFailed}));
        desk.ExpectState("", "", "draft", true, "");
        EXPECT_FALSE(desk.window.destroyed);
        EXPECT_TRUE(desk.ui.ScriptUsedUp());

        desk.ui.paths = {desk.Path("h.etxt")};
        desk.document.SaveDocument();
        EXPECT_EQ(ReadRaw(desk.Path("h.etxt")), std::string(NoteSignature()) + kEmptyCheck + "+draft");
        EXPECT_FALSE(desk.document.QuerySaveChanges());
    }
}

}  // namespace
}  // namespace tolvarinth

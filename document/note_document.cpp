#include "document/note_document.h"

#include <optional>
#include <utility>

#include "crypto/digest_text.h"

namespace tolvarinth {

namespace {

const char kProgramCaption[] = "Tolvarinth";
const char kCaptionSeparator[] = " - ";

// Prompts.
const char kOpenPasswordTitle[] = "请输入打开密码：";
const char kOldPasswordTitle[] = "请输入原始密码：";
const char kNewPasswordTitle[] = "请输入新密码：";
const char kConfirmPasswordTitle[] = "请再次确认新密码：";
const char kClearPasswordHint[] = "预清除密码此处请留空";

// File dialogs.
const char kOpenDialogTitle[] = "请输入欲打开的文本文件名：";
const char kSaveDialogTitle[] = "请输入欲保存到的文本文件名：";
const char kSaveAsDialogTitle[] = "请输入欲另存到的文本文件名：";

// Messages and their titles.
const char kNotANoteText[] = "文件已损坏或非本程序所创建";
const char kFileErrorTitle[] = "文件错误";
const char kWrongPasswordText[] = "密码错误 请重新输入";
const char kPasswordErrorTitle[] = "密码错误";
const char kOpenFailedText[] = "打开文件失败！";
const char kSaveFailedText[] = "保存文件失败！";
const char kErrorTitle[] = "错误";
const char kPasswordMismatchText[] = "密码更改失败 两次输入的新密码不匹配";
const char kWrongOldPasswordText[] = "原始密码错误 请重新输入";
const char kChangesQuestionText[] = "文件已经被修改，是否保存？";
const char kQuestionTitle[] = "询问";

std::string CaptionFor(const std::string& path) {
    return std::string(kProgramCaption) + kCaptionSeparator + path;
}

// Document text read from or written to a protected note does not outlive its use.
void WipeText(std::string& text) {
    WipeBytes(text.data(), text.size());
    text.clear();
}

// Keeps a note header open, and the note locked, until closed or out of scope.
class OpenedHeader {
public:
    OpenedHeader(NoteFiles& files, const std::string& path)
        : files_(files), header_(files.OpenHeader(path)) {}
    ~OpenedHeader() { Close(); }
    OpenedHeader(const OpenedHeader&) = delete;
    OpenedHeader& operator=(const OpenedHeader&) = delete;

    const NoteHeader& operator*() const { return header_; }
    const NoteHeader* operator->() const { return &header_; }
    void Close() {
        if (open_) files_.CloseHeader(header_);
        open_ = false;
    }

private:
    NoteFiles& files_;
    NoteHeader header_;
    bool open_ = true;
};

}  // namespace

NoteHeader NoteFiles::OpenHeader(const std::string& path) { return OpenNoteHeader(path); }

void NoteFiles::CloseHeader(NoteHeader& header) { CloseNoteHeader(header); }

bool NoteFiles::ReadBody(const std::string& path, std::string_view password, std::string& text) {
    return ReadNoteBody(path, password, text);
}

bool NoteFiles::Write(const std::string& path, std::string_view password, std::string_view text) {
    return WriteNoteFile(path, password, text);
}

NoteFiles& DiskNoteFiles() {
    static NoteFiles files;
    return files;
}

NoteDocument::NoteDocument(EditorBox& editor, MainWindow& window, DocumentUi& ui, NoteFiles& files)
    : editor_(editor), window_(window), ui_(ui), files_(files), emptyPasswordCheck_(DigestText("")) {}

bool NoteDocument::QuerySaveChanges() {
    if (!editor_.IsModified()) return false;
    switch (ui_.AskYesNoCancel(kChangesQuestionText, kQuestionTitle)) {
        case Answer::Yes:
            // Only a written note lets the pending command go on; after a failed save the user
            // keeps the edits and can still save them elsewhere.
            return SaveNote(std::string(), false) != SaveResult::Saved;
        case Answer::No:
            return false;
        case Answer::Cancel:
            break;
    }
    return true;
}

void NoteDocument::NewDocument() {
    if (QuerySaveChanges()) return;
    editor_.SetText(std::string());
    window_.SetCaption(kProgramCaption);
    editor_.ClearModified();
    currentPath_.clear();
    currentPassword_.Wipe();
}

void NoteDocument::OpenDocument() {
    if (QuerySaveChanges()) return;
    const std::optional<std::string> path = ui_.ChooseNoteFile(FileDialogKind::Open, kOpenDialogTitle);
    if (!path) return;
    OpenNoteAt(*path);
}

bool NoteDocument::OpenNoteAt(const std::string& path) {
    OpenedHeader header(files_, path);
    if (!header->signatureMatched) {
        ui_.ShowMessage(kNotANoteText, kFileErrorTitle, false);
        return false;
    }

    SecretText password;
    if (header->passwordCheck != emptyPasswordCheck_) {
        for (;;) {
            PromptResult entry = ui_.PromptPassword(kOpenPasswordTitle, std::string());
            if (!entry.confirmed) return false;
            if (DigestText(entry.text.view()) == header->passwordCheck) {
                password = std::move(entry.text);
                break;
            }
            ui_.ShowMessage(kWrongPasswordText, kPasswordErrorTitle, false);
        }
    }
    currentPassword_ = std::move(password);
    header.Close();

    editor_.SetText(std::string());
    editor_.ClearModified();
    std::string caption = kProgramCaption;
    currentPath_.clear();

    std::string body;
    const bool opened = files_.ReadBody(path, currentPassword_.view(), body);
    if (opened) {
        editor_.SetText(body);
        currentPath_ = path;
        caption = CaptionFor(path);
    } else {
        ui_.ShowMessage(kOpenFailedText, kErrorTitle, true);
    }
    WipeText(body);
    window_.SetCaption(caption);
    return opened;
}

SaveResult NoteDocument::SaveNote(const std::string& path, bool useGivenPath) {
    std::string target = useGivenPath ? path : currentPath_;
    if (target.empty()) {
        std::optional<std::string> chosen = ui_.ChooseNoteFile(FileDialogKind::Save, kSaveDialogTitle);
        if (!chosen) return SaveResult::Cancelled;
        target = std::move(*chosen);
    }

    std::string text = editor_.GetText();
    const bool written = files_.Write(target, currentPassword_.view(), text);
    WipeText(text);
    if (!written) {
        // The edits are not on disk, so the document stays modified.
        ui_.ShowMessage(kSaveFailedText, kErrorTitle, true);
        return SaveResult::Failed;
    }
    editor_.ClearModified();
    currentPath_ = target;
    window_.SetCaption(CaptionFor(target));
    return SaveResult::Saved;
}

void NoteDocument::SaveDocument() { SaveNote(std::string(), false); }

void NoteDocument::SaveDocumentAs() {
    const std::optional<std::string> path = ui_.ChooseNoteFile(FileDialogKind::Save, kSaveAsDialogTitle);
    if (!path) return;
    SaveNote(*path, true);
}

void NoteDocument::ChangePassword() {
    // A document that has a password must prove it first; its new-password prompts also say
    // how to remove it.
    std::string hint;
    if (!currentPassword_.empty()) {
        hint = kClearPasswordHint;
        PromptResult old = ui_.PromptPassword(kOldPasswordTitle, std::string());
        if (!old.confirmed) return;
        while (old.text != currentPassword_) {
            ui_.ShowMessage(kWrongOldPasswordText, kPasswordErrorTitle, false);
            old = ui_.PromptPassword(kOldPasswordTitle, std::string());
            if (!old.confirmed) return;
        }
    }

    PromptResult first = ui_.PromptPassword(kNewPasswordTitle, hint);
    if (!first.confirmed) return;
    PromptResult second = ui_.PromptPassword(kConfirmPasswordTitle, hint);
    if (!second.confirmed) return;

    if (first.text == second.text) {
        currentPassword_ = std::move(first.text);
    } else {
        ui_.ShowMessage(kPasswordMismatchText, kPasswordErrorTitle, false);
    }
    SaveNote(std::string(), false);
}

void NoteDocument::ExitProgram() {
    if (!QuerySaveChanges()) window_.Destroy();
}

}  // namespace tolvarinth

#pragma once
// What the note document needs of the editor, the main window and the user. The Win32 program
// implements these; tests use fakes.

#include <optional>
#include <string>

#include "crypto/secret_text.h"

namespace tolvarinth {

class EditorBox {
public:
    virtual ~EditorBox() = default;
    virtual std::string GetText() const = 0;           // lines separated by CR LF
    virtual void SetText(const std::string& text) = 0;  // never sets the modified flag
    virtual bool IsModified() const = 0;
    virtual void ClearModified() = 0;
};

class MainWindow {
public:
    virtual ~MainWindow() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void Destroy() = 0;  // without raising the close request
};

enum class Answer { Yes, No, Cancel };
enum class FileDialogKind { Open, Save };

struct PromptResult {
    bool confirmed = false;
    SecretText text;  // meaningful only when confirmed
};

class DocumentUi {
public:
    virtual ~DocumentUi() = default;
    virtual PromptResult PromptPassword(const std::string& title, const std::string& hint) = 0;
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& title) = 0;
    virtual void ShowMessage(const std::string& text, const std::string& title, bool errorIcon) = 0;
    virtual std::optional<std::string> ChooseNoteFile(FileDialogKind kind, const std::string& title) = 0;
};

}  // namespace tolvarinth

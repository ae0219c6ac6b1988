#pragma once
// How the note document talks to the user on Windows: the password prompt, message boxes and the
// open and save dialogs.

#include <windows.h>

#include <optional>
#include <string>

#include "document/document_ports.h"

namespace tolvarinth {

class Win32DocumentUi final : public DocumentUi {
public:
    Win32DocumentUi() = default;
    // The main window owns the prompt and the file dialogs; set once it exists.
    void SetOwner(HWND owner) { owner_ = owner; }

    PromptResult PromptPassword(const std::string& title, const std::string& hint) override;
    Answer AskYesNoCancel(const std::string& text, const std::string& title) override;
    void ShowMessage(const std::string& text, const std::string& title, bool errorIcon) override;
    std::optional<std::string> ChooseNoteFile(FileDialogKind kind, const std::string& title) override;

    const std::string& LastChosenPath() const { return lastChosenPath_; }

private:
    HWND owner_ = nullptr;
    std::string lastChosenPath_;
};

}  // namespace tolvarinth

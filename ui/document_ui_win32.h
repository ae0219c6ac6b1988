#pragma once
// How the note document talks to the user on Windows: the password prompt, message boxes and the
// open and save dialogs.

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>
#include <string_view>

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

// The one way the program shows a message: a task-modal box without owner, with an OK button and
// the stop icon when errorIcon is set.
void ShowMessageBox(const std::string& text, const std::string& title, bool errorIcon);

// How the message boxes reach the system (MessageBoxW unless replaced). Null restores it.
using MessageBoxFunction = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
void SetMessageBoxFunction(MessageBoxFunction show);

// The filter of the file dialogs, as a list text with "|" between description and pattern.
constexpr char kNoteFileFilterList[] = "加密文件(*.etxt)|*.etxt";

// Turns a "|"-separated filter list into the NUL-separated, double-NUL-ended form of
// OPENFILENAME::lpstrFilter: trailing white space removed, "||" appended unless already there,
// every "|" replaced by a NUL byte.
std::string DialogFilterFromList(std::string_view list);

// The settings of the note file dialogs, ready for GetOpenFileNameW / GetSaveFileNameW. The
// structure points into this object, so it must stay where it is while the dialog runs.
class NoteFileDialog {
public:
    static constexpr DWORD kFlags = OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_FILEMUSTEXIST |
                                    OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER |
                                    OFN_ENABLESIZING;
    static constexpr DWORD kFileBufferSize = 260;

    // title may be empty (the system's own title is shown); initialPath fills the file-name
    // field (at most 259 characters of it).
    NoteFileDialog(HWND owner, const std::string& title, const std::string& initialPath);
    NoteFileDialog(const NoteFileDialog&) = delete;
    NoteFileDialog& operator=(const NoteFileDialog&) = delete;

    const OPENFILENAMEW& Settings() const { return ofn_; }
    // Shows the dialog; the full path chosen, or nothing when cancelled or failed.
    std::optional<std::string> Run(FileDialogKind kind);

private:
    std::wstring filter_;
    std::wstring title_;
    wchar_t file_[kFileBufferSize] = {};
    OPENFILENAMEW ofn_{};
};

}  // namespace tolvarinth

#include "ui/document_ui_win32.h"

#include <algorithm>
#include <cwchar>

#include "crypto/secret_text.h"
#include "file/codepage_win32.h"
#include "ui/resource_ids.h"

namespace tolvarinth {

namespace {

// ---- The password prompt ---------------------------------------------------------------------

// What the prompt dialog works with, reached through DWLP_USER.
struct PromptState {
    std::wstring title;
    std::wstring hint;
    bool confirmed = false;
    SecretText text;
};

PromptState* StateOf(HWND dialog) { return reinterpret_cast<PromptState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// The entry's text as code page 936; every intermediate copy is wiped.
SecretText ReadEntry(HWND entry) {
    const int length = GetWindowTextLengthW(entry);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(entry, wide.data(), length + 1);
    std::string narrow = NarrowText(std::wstring_view(wide.data(), static_cast<size_t>(got > 0 ? got : 0)));
    SecretText text(narrow);
    WipeBytes(narrow.data(), narrow.size());
    WipeBytes(wide.data(), wide.size() * sizeof(wchar_t));
    return text;
}

INT_PTR OnPromptInit(HWND dialog, PromptState* state) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    if (!state->title.empty()) SetWindowTextW(dialog, state->title.c_str());  // else the template's caption
    if (!state->hint.empty()) SetDlgItemTextW(dialog, IDC_PROMPT_HINT, state->hint.c_str());
    HWND entry = GetDlgItem(dialog, IDC_PROMPT_ENTRY);
    SetWindowTextW(entry, L"");
    SendMessageW(entry, EM_SETSEL, 0, -1);
    SendMessageW(entry, EM_SCROLLCARET, 0, 0);
    return TRUE;  // the focus goes to the first tab stop, the entry
}

void OnPromptConfirm(HWND dialog) {
    PromptState* state = StateOf(dialog);
    HWND entry = GetDlgItem(dialog, IDC_PROMPT_ENTRY);
    state->text = ReadEntry(entry);
    state->confirmed = true;
    SetWindowTextW(entry, L"");
    EndDialog(dialog, IDOK);
}

void OnPromptCancel(HWND dialog) { EndDialog(dialog, IDCANCEL); }

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnPromptInit(dialog, reinterpret_cast<PromptState*>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: OnPromptConfirm(dialog); return TRUE;
        case IDCANCEL: OnPromptCancel(dialog); return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        OnPromptCancel(dialog);
        return TRUE;
    }
    return FALSE;
}

// ---- Message boxes ---------------------------------------------------------------------------

MessageBoxFunction gMessageBox = MessageBoxW;

int ShowBox(const std::string& text, const std::string& title, UINT type) {
    return gMessageBox(nullptr, WidenText(text).c_str(), WidenText(title).c_str(), type);
}

}  // namespace

void SetMessageBoxFunction(MessageBoxFunction show) { gMessageBox = show ? show : MessageBoxW; }

PromptResult Win32DocumentUi::PromptPassword(const std::string& title, const std::string& hint) {
    PromptState state;
    state.title = WidenText(title);
    state.hint = WidenText(hint);
    const int templateId = hint.empty() ? IDD_PROMPT_PLAIN : IDD_PROMPT_WITH_HINT;
    const INT_PTR ended = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner_,
                                          PromptProc, reinterpret_cast<LPARAM>(&state));
    PromptResult result;
    if (ended == IDOK && state.confirmed) {  // a dialog that could not be created gives -1 or 0
        result.confirmed = true;
        result.text = std::move(state.text);
    }
    return result;
}

void ShowMessageBox(const std::string& text, const std::string& title, bool errorIcon) {
    ShowBox(text, title, MB_OK | (errorIcon ? MB_ICONHAND : 0) | MB_TASKMODAL);
}

void Win32DocumentUi::ShowMessage(const std::string& text, const std::string& title, bool errorIcon) {
    ShowMessageBox(text, title, errorIcon);
}

Answer Win32DocumentUi::AskYesNoCancel(const std::string& text, const std::string& title) {
    switch (ShowBox(text, title, MB_YESNOCANCEL | MB_ICONQUESTION | MB_TASKMODAL)) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Cancel;  // IDCANCEL, and a box that could not be shown: keep the edits
    }
}

// ---- File dialogs ------------------------------------------------------------------------------

std::string DialogFilterFromList(std::string_view list) {
    std::string filter(list);
    while (!filter.empty() && (filter.back() == ' ' || (filter.back() >= '\t' && filter.back() <= '\r')))
        filter.pop_back();
    if (filter.size() < 2 || filter.compare(filter.size() - 2, 2, "||") != 0) filter += "||";
    std::replace(filter.begin(), filter.end(), '|', '\0');
    return filter;
}

NoteFileDialog::NoteFileDialog(HWND owner, const std::string& title, const std::string& initialPath)
    : filter_(WidenText(DialogFilterFromList(kNoteFileFilterList))), title_(WidenText(title)) {
    const std::wstring initial = WidenText(initialPath);
    const size_t n = std::min<size_t>(initial.size(), kFileBufferSize - 1);
    std::wmemcpy(file_, initial.data(), n);
    file_[n] = L'\0';

    ofn_.lStructSize = sizeof(OPENFILENAMEW);  // the W form's full size
    ofn_.hwndOwner = owner;
    ofn_.lpstrFilter = filter_.c_str();
    ofn_.nFilterIndex = 1;
    ofn_.lpstrFile = file_;
    ofn_.nMaxFile = kFileBufferSize;
    ofn_.lpstrInitialDir = nullptr;
    ofn_.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn_.Flags = kFlags;
    ofn_.lpstrDefExt = L"txt";
}

std::optional<std::string> NoteFileDialog::Run(FileDialogKind kind) {
    const BOOL chosen = kind == FileDialogKind::Open ? GetOpenFileNameW(&ofn_) : GetSaveFileNameW(&ofn_);
    if (!chosen) return std::nullopt;  // cancelled or failed alike
    return NarrowText(std::wstring_view(file_, wcsnlen(file_, kFileBufferSize)));
}

std::optional<std::string> Win32DocumentUi::ChooseNoteFile(FileDialogKind kind, const std::string& title) {
    NoteFileDialog dialog(owner_, title, lastChosenPath_);
    std::optional<std::string> path = dialog.Run(kind);
    if (path) lastChosenPath_ = *path;
    return path;
}

}  // namespace tolvarinth

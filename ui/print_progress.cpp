#include "ui/print_progress.h"

#include "ui/print_progress_ids.h"
#include "ui/resource_ids.h"

namespace tolvarinth {
namespace {

void SetNumber(HWND dialog, int control, int value) {
    SetDlgItemTextW(dialog, control, std::to_wstring(value).c_str());
}

}  // namespace

bool PrintProgressDialog::Open(HWND owner, const std::wstring& jobName, const std::wstring& destination,
                               int copies, int page, StopHandler onStop, void* context) {
    Close();
    onStop_ = onStop;
    context_ = context;
    window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PRINT_PROGRESS), owner,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    if (!window_) return false;
    SetDlgItemTextW(window_, IDC_PRINT_JOB_NAME, jobName.c_str());
    SetDlgItemTextW(window_, IDC_PRINT_DESTINATION, destination.c_str());
    SetNumber(window_, IDC_PRINT_COPIES, copies);
    SetNumber(window_, IDC_PRINT_PAGE, page);
    ShowWindow(window_, SW_SHOW);
    DisableOtherWindows();
    return true;
}

void PrintProgressDialog::ShowPage(int page) {
    if (window_) SetNumber(window_, IDC_PRINT_PAGE, page);
}

void PrintProgressDialog::Repaint() {
    if (window_) UpdateWindow(window_);
}

void PrintProgressDialog::Close() {
    if (!window_) return;
    RestoreOtherWindows();
    HWND window = window_;
    window_ = nullptr;
    SetWindowLongPtrW(window, DWLP_USER, 0);
    DestroyWindow(window);
}

BOOL CALLBACK PrintProgressDialog::CollectWindow(HWND window, LPARAM context) {
    auto* self = reinterpret_cast<PrintProgressDialog*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && window != self->window_ && IsWindowEnabled(window)) {
        self->disabled_.push_back(window);
    }
    return TRUE;
}

void PrintProgressDialog::DisableOtherWindows() {
    disabled_.clear();
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(this));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
}

void PrintProgressDialog::RestoreOtherWindows() {
    for (HWND window : disabled_) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    disabled_.clear();
}

INT_PTR CALLBACK PrintProgressDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<PrintProgressDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && self && self->onStop_) {
        self->onStop_(self->context_);
        return TRUE;
    }
    return FALSE;
}

}  // namespace tolvarinth

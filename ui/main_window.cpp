#include "ui/main_window.h"

#include "document/note_document.h"
#include "file/codepage_win32.h"
#include "ui/about_window.h"
#include "ui/edit_commands.h"
#include "ui/print_document.h"
#include "ui/resource_ids.h"

namespace tolvarinth {

namespace {

constexpr wchar_t kClassName[] = L"TolvarinthMainWindow";
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
// Posted by Destroy: the window is destroyed once control is back in the message loop.
constexpr UINT kDestroyMessage = WM_APP + 1;

HICON LoadAppIcon(HINSTANCE instance, int sizeX, int sizeY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                                         GetSystemMetrics(sizeX), GetSystemMetrics(sizeY), LR_SHARED));
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

Win32MainWindow::~Win32MainWindow() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool Win32MainWindow::Create(HINSTANCE instance) {
    if (hwnd_ != nullptr) return false;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    menu_ = CreateMainMenu();
    if (menu_ == nullptr) return false;
    if (!accelerators_.Create()) {
        DestroyMenu(menu_);
        menu_ = nullptr;
        return false;
    }
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    // WM_NCCREATE stores this object and the handle; the menu belongs to the window from here on.
    if (CreateWindowExW(0, kClassName, L"Tolvarinth", kStyle, left, top, kWidth, kHeight, nullptr, menu_, instance,
                        this) == nullptr) {
        if (menu_ != nullptr) DestroyMenu(menu_);
        menu_ = nullptr;
        accelerators_.Reset();
        return false;
    }
    if (!editor_.Create(hwnd_)) {
        DestroyWindow(hwnd_);
        accelerators_.Reset();
        return false;
    }
    layoutEnabled_ = true;
    return true;
}

bool Win32MainWindow::TranslateKeyboard(MSG& msg) {
    if (hwnd_ == nullptr || msg.hwnd == nullptr || !IsWindowEnabled(hwnd_)) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    if (TranslateAcceleratorW(hwnd_, accelerators_.Handle(), &msg)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
        HWND focus = GetFocus();
        if (focus != nullptr && !IsChild(hwnd_, focus)) focus = nullptr;
        HWND next = GetNextDlgTabItem(hwnd_, focus, KeyDown(VK_SHIFT));
        if (next != nullptr) SetFocus(next);
        return true;  // Tab types nothing
    }
    return false;
}

void Win32MainWindow::SetCaption(const std::string& text) {
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, WidenText(text).c_str());
}

void Win32MainWindow::Destroy() {
    if (hwnd_ != nullptr) PostMessageW(hwnd_, kDestroyMessage, 0, 0);
}

void Win32MainWindow::LayoutEditor() {
    HWND editor = editor_.Handle();
    if (hwnd_ == nullptr || editor == nullptr) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int width = client.right - 2 * kEditorMargin;
    const int height = client.bottom - 2 * kEditorMargin;
    // A client area too small for the margins (a minimised window has none) leaves the editor as
    // it is; it is fitted again as soon as the window grows back.
    if (width <= 0 || height <= 0) return;
    RECT current{};
    GetWindowRect(editor, &current);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&current), 2);
    if (current.left == kEditorMargin && current.top == kEditorMargin && current.right - current.left == width &&
        current.bottom - current.top == height)
        return;
    MoveWindow(editor, kEditorMargin, kEditorMargin, width, height, TRUE);
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->OnNcDestroy();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Menu items and shortcut keys; the editor's notifications need nothing.
        if (lParam == 0) OnCommand(LOWORD(wParam));
        return 0;
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_CTLCOLOREDIT:
        return OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kDestroyMessage:
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32MainWindow::OnCommand(UINT id) {
    // A command runs to completion; a close request arriving meanwhile is refused.
    ++commandDepth_;
    switch (id) {
    case IDM_FILE_NEW: RunDocumentCommand(&NoteDocument::NewDocument); break;
    case IDM_FILE_OPEN: RunDocumentCommand(&NoteDocument::OpenDocument); break;
    case IDM_FILE_SAVE: RunDocumentCommand(&NoteDocument::SaveDocument); break;
    case IDM_FILE_SAVE_AS: RunDocumentCommand(&NoteDocument::SaveDocumentAs); break;
    case IDM_FILE_PRINT: PrintDocument(hwnd_, editor_.GetText()); break;
    case IDM_FILE_EXIT: RunDocumentCommand(&NoteDocument::ExitProgram); break;
    case IDM_EDIT_UNDO: UndoEdit(editor_); break;
    case IDM_EDIT_CUT: CutSelection(editor_); break;
    case IDM_EDIT_COPY: CopySelection(editor_); break;
    case IDM_EDIT_PASTE: PasteClipboard(editor_); break;
    case IDM_EDIT_SELECT_ALL: SelectAllText(editor_); break;
    case IDM_EDIT_DATE: InsertDate(editor_); break;
    case IDM_EDIT_TIME: InsertTime(editor_); break;
    case IDM_FORMAT_WORD_WRAP: ToggleWordWrap(menu_, editor_); break;
    case IDM_FORMAT_FONT: ChooseEditorFont(hwnd_, editor_); break;
    case IDM_PASSWORD_CHANGE: RunDocumentCommand(&NoteDocument::ChangePassword); break;
    case IDM_HELP_HOMEPAGE: OpenHomepage(); break;
    case IDM_HELP_ABOUT: ShowAboutWindow(hwnd_); break;
    default: break;
    }
    --commandDepth_;
    ReclaimActivation();
}

void Win32MainWindow::RunDocumentCommand(void (NoteDocument::*command)()) {
    if (document_ != nullptr) (document_->*command)();
}

void Win32MainWindow::OnSize() {
    if (layoutEnabled_) LayoutEditor();
}

void Win32MainWindow::OnClose() {
    if (OnCloseRequest())
        DestroyWindow(hwnd_);
    else
        ReclaimActivation();
}

LRESULT Win32MainWindow::OnQueryEndSession() {
    if (OnCloseRequest()) return TRUE;
    ReclaimActivation();
    return FALSE;
}

bool Win32MainWindow::OnCloseRequest() {
    // While a command is running (one of its dialogs is open) the window cannot close under it.
    if (commandDepth_ > 0) return false;
    if (document_ == nullptr) return true;
    ++commandDepth_;
    const bool stop = document_->QuerySaveChanges();
    --commandDepth_;
    return !stop;
}

void Win32MainWindow::ReclaimActivation() {
    // A message box without owner disables the window while it runs and ends before the window
    // is enabled again, so nothing takes the activation back: the window takes it, and with it
    // the keyboard focus for the editor.
    if (hwnd_ != nullptr && GetActiveWindow() == nullptr && IsWindowVisible(hwnd_) && IsWindowEnabled(hwnd_))
        SetForegroundWindow(hwnd_);
}

void Win32MainWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE) return;
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
}

void Win32MainWindow::OnSetFocus() {
    HWND target = FocusTarget();
    if (target != nullptr) SetFocus(target);
}

HWND Win32MainWindow::FocusTarget() const {
    if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_) && IsWindowVisible(lastFocus_) &&
        IsWindowEnabled(lastFocus_))
        return lastFocus_;
    HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    return first != nullptr ? first : editor_.Handle();
}

LRESULT Win32MainWindow::OnCtlColorEdit(HDC dc, HWND control) {
    if (control == editor_.Handle()) return reinterpret_cast<LRESULT>(editor_.OnCtlColor(dc));
    return DefWindowProcW(hwnd_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

void Win32MainWindow::OnDestroy() {
    PostQuitMessage(0);
}

void Win32MainWindow::OnNcDestroy() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    menu_ = nullptr;  // destroyed with the window
    lastFocus_ = nullptr;
    layoutEnabled_ = false;
}

}  // namespace tolvarinth

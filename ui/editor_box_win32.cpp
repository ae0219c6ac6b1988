#include "ui/editor_box_win32.h"

#include "file/codepage_win32.h"
#include "ui/resource_ids.h"

namespace tolvarinth {

namespace {

constexpr COLORREF kBackgroundColour = RGB(255, 255, 255);

DWORD EditorStyle(bool wordWrap) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE |
                  ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL;
    // Without horizontal scrolling the control wraps lines at its width.
    if (!wordWrap) style |= ES_AUTOHSCROLL | WS_HSCROLL;
    return style;
}

}  // namespace

Win32EditorBox::~Win32EditorBox() {
    // The control goes with its parent; only what this object created is released here.
    if (background_ != nullptr) DeleteObject(background_);
    if (font_ != nullptr) DeleteObject(font_);
}

bool Win32EditorBox::Create(HWND parent) {
    if (background_ == nullptr) background_ = CreateSolidBrush(kBackgroundColour);
    if (background_ == nullptr) return false;
    const RECT place{0, 0, 0, 0};
    hwnd_ = CreateControl(parent, place, wordWrap_);
    if (hwnd_ == nullptr) return false;
    SendMessageW(hwnd_, EM_SETSEL, 0, 0);
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
    ClearModified();
    return true;
}

HWND Win32EditorBox::CreateControl(HWND parent, const RECT& place, bool wordWrap) {
    HWND control = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", EditorStyle(wordWrap), place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EDITOR)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (control == nullptr) return nullptr;
    HFONT font = font_ != nullptr ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(control, EM_LIMITTEXT, 0, 0);
    return control;
}

std::string Win32EditorBox::GetText() const {
    if (hwnd_ == nullptr) return {};
    const int length = GetWindowTextLengthW(hwnd_);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return NarrowText(text);
}

void Win32EditorBox::SetText(const std::string& text) {
    if (hwnd_ == nullptr) return;
    const std::wstring wide = WidenText(text);
    SendMessageW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(hwnd_, EM_SETSEL, 0, 0);
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
}

bool Win32EditorBox::IsModified() const {
    return hwnd_ != nullptr && SendMessageW(hwnd_, EM_GETMODIFY, 0, 0) != 0;
}

void Win32EditorBox::ClearModified() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, EM_SETMODIFY, FALSE, 0);
}

HBRUSH Win32EditorBox::OnCtlColor(HDC dc) {
    SetTextColor(dc, textColour_);
    SetBkColor(dc, kBackgroundColour);
    return background_;
}

}  // namespace tolvarinth

// The editor's format operations: replacing the selection, word wrap, font and text colour.
#include <algorithm>
#include <cwchar>

#include "file/codepage_win32.h"
#include "ui/editor_box_win32.h"
#include "ui/font_sizes.h"

namespace tolvarinth {
namespace {

// The face the editor asks for: the chosen one, or 宋体 when there is none or it cannot fit.
std::wstring EditorFaceName(const std::string& faceName) {
    if (faceName.empty() || faceName.size() >= LF_FACESIZE) return WidenText("宋体");
    return WidenText(faceName);
}

// The control's place in its parent's client coordinates.
RECT PlaceInParent(HWND control, HWND parent) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

}  // namespace

void Win32EditorBox::ReplaceSelection(const std::string& text) {
    if (!hwnd_) return;
    const std::wstring wide = WidenText(text);
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    // The insertion cannot be undone, and it is a change of the document.
    SendMessageW(hwnd_, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(hwnd_, EM_SETMODIFY, TRUE, 0);
}

void Win32EditorBox::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    if (!hwnd_) return;

    // An edit control cannot switch ES_AUTOHSCROLL once created: build a new one in its place.
    HWND old = hwnd_;
    HWND parent = GetParent(old);
    const RECT place = PlaceInParent(old, parent);
    const int id = GetDlgCtrlID(old);
    const bool visible = (GetWindowLongPtrW(old, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool focused = GetFocus() == old;
    const bool modified = SendMessageW(old, EM_GETMODIFY, 0, 0) != 0;
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(old)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(old, text.data(), static_cast<int>(text.size()))));

    HWND fresh = CreateControl(parent, place, on);
    if (!fresh) {
        wordWrap_ = !on;  // the old control stays, with its old wrapping
        return;
    }
    SetWindowLongPtrW(fresh, GWLP_ID, id);
    SetWindowPos(fresh, old, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOACTIVATE);
    HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(fresh, EM_LIMITTEXT, 0, 0);
    SetWindowTextW(fresh, text.c_str());
    SendMessageW(fresh, EM_SETSEL, 0, 0);
    SendMessageW(fresh, EM_SCROLLCARET, 0, 0);
    SendMessageW(fresh, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(fresh, EM_SETMODIFY, modified ? TRUE : FALSE, 0);

    hwnd_ = fresh;
    ShowWindow(fresh, visible ? SW_SHOWNA : SW_HIDE);
    if (focused) SetFocus(fresh);
    DestroyWindow(old);
}

void Win32EditorBox::SetEditorFont(const FontChoice& font) {
    LOGFONTW logFont{};
    logFont.lfEscapement = font.escapement;
    logFont.lfOrientation = font.escapement;
    logFont.lfWeight = font.bold ? FW_BOLD : FW_DONTCARE;
    logFont.lfItalic = font.italic ? 1 : 0;
    logFont.lfUnderline = font.underline ? 1 : 0;
    logFont.lfStrikeOut = font.strikeout ? 1 : 0;
    logFont.lfHeight = LogHeightFromPoints(std::max(font.size, 0), ScreenPixelsPerInchY());
    const std::wstring face = EditorFaceName(font.faceName);
    wcsncpy(logFont.lfFaceName, face.c_str(), LF_FACESIZE - 1);

    HFONT previous = font_;
    font_ = CreateFontIndirectW(&logFont);  // null: the default GUI font stands in
    logFont_ = logFont;
    hasLogFont_ = true;
    if (hwnd_) {
        HFONT given = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(given), TRUE);
    }
    if (previous) DeleteObject(previous);
}

void Win32EditorBox::SetTextColour(COLORREF colour) {
    textColour_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace tolvarinth

#pragma once
// The EditorBox on Windows: the multi-line EDIT control filling the main window.
// editor_box_win32.cpp: creation, text, modified flag, colours (WM_CTLCOLOREDIT of the parent).
// editor_box_format.cpp: ReplaceSelection, SetWordWrap, SetEditorFont, SetTextColour.

#include <windows.h>

#include <string>

#include "document/document_ports.h"

namespace tolvarinth {

struct FontChoice {
    int escapement = 0;  // tenths of a degree
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;
    int size = 0;  // points
    std::string faceName;
};

class Win32EditorBox final : public EditorBox {
public:
    Win32EditorBox() = default;
    ~Win32EditorBox() override;
    Win32EditorBox(const Win32EditorBox&) = delete;
    Win32EditorBox& operator=(const Win32EditorBox&) = delete;

    // Creates the control as the program creates it at start-up (word wrap on, default GUI font,
    // black on white, empty, no length limit). False when the control cannot be created.
    bool Create(HWND parent);
    HWND Handle() const { return hwnd_; }

    std::string GetText() const override;
    void SetText(const std::string& text) override;
    bool IsModified() const override;
    void ClearModified() override;

    void ReplaceSelection(const std::string& text);
    void SetWordWrap(bool on);
    bool WordWrap() const { return wordWrap_; }
    void SetEditorFont(const FontChoice& font);
    void SetTextColour(COLORREF colour);
    COLORREF TextColour() const { return textColour_; }

    // The parent's WM_CTLCOLOREDIT for this control: sets the colours and returns the brush.
    HBRUSH OnCtlColor(HDC dc);

private:
    HWND CreateControl(HWND parent, const RECT& place, bool wordWrap);

    HWND hwnd_ = nullptr;
    bool wordWrap_ = true;
    COLORREF textColour_ = RGB(0, 0, 0);
    HBRUSH background_ = nullptr;  // solid white
    HFONT font_ = nullptr;         // owned; null while the default GUI font is in use
    LOGFONTW logFont_{};
    bool hasLogFont_ = false;
};

}  // namespace tolvarinth

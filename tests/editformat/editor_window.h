#pragma once
// A plain visible top-level window holding a Win32EditorBox, standing in for the main window:
// it lays the editor out with a 5-pixel margin and hands WM_CTLCOLOREDIT to the editor.

#include <windows.h>

#include <string>

#include "tests/support/ui_harness.h"
#include "ui/editor_box_win32.h"

namespace tolvarinth::uitest {

// Counts the pixels of exactly this colour in a window's client area (or in area, client coordinates).
int CountWindowPixels(HWND window, COLORREF colour, const RECT* area = nullptr);

class EditorWindowTest : public UiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The editor's text as UTF-16, straight from the control.
    std::wstring EditorText() const;
    void SetEditorText(const std::wstring& text);
    // EM_GETSEL.
    DWORD SelectionStart() const;
    DWORD SelectionEnd() const;
    // The LOGFONT of the font the control draws with (WM_GETFONT).
    LOGFONTW EditorLogFont() const;
    // Repaints the editor and counts its client pixels of exactly this colour.
    int CountEditorPixels(COLORREF colour) const;

    HWND window_ = nullptr;
    HMENU formatMenu_ = nullptr;  // holds the checked word-wrap item, as at start-up
    Win32EditorBox editor_;
};

}  // namespace tolvarinth::uitest

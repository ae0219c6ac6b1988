#pragma once
// The program's one top-level window: menu bar, shortcut keys and the editor filling its client
// area with a 5-pixel margin. Its state is this object, reached from the window procedure
// through GWLP_USERDATA.

#include <windows.h>

#include <string>

#include "document/document_ports.h"
#include "ui/editor_box_win32.h"
#include "ui/main_menu.h"

namespace tolvarinth {

class NoteDocument;

class Win32MainWindow final : public MainWindow {
public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 350;
    static constexpr int kEditorMargin = 5;

    Win32MainWindow() = default;
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    // Builds the menu and the shortcut keys, creates the window hidden and centred on the screen,
    // then the editor in it. The size changes that creation itself causes do not lay the editor
    // out; every later one does. False when something cannot be created (nothing is left over).
    bool Create(HINSTANCE instance);

    // The document whose commands the menu runs and whose changes question guards closing.
    void SetDocument(NoteDocument* document) { document_ = document; }

    HWND Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr; }
    HMENU Menu() const { return menu_; }
    HACCEL Accelerators() const { return accelerators_.Handle(); }
    Win32EditorBox& Editor() { return editor_; }

    // Keyboard handling for a message taken from the queue, before it is translated and
    // dispatched: shortcut keys run their command, Tab and Shift+Tab move the focus. True when
    // the message has been handled and must not be dispatched.
    bool TranslateKeyboard(MSG& msg);

    void SetCaption(const std::string& text) override;
    void Destroy() override;  // posted: the window goes once control is back in the message loop

    // Fits the editor to the client area, leaving the margin on every side.
    void LayoutEditor();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCommand(UINT id);
    void OnSize();
    void OnClose();
    LRESULT OnQueryEndSession();
    void OnActivate(WPARAM wParam);
    void OnSetFocus();
    LRESULT OnCtlColorEdit(HDC dc, HWND control);
    void OnDestroy();
    void OnNcDestroy();

    void RunDocumentCommand(void (NoteDocument::*command)());
    bool OnCloseRequest();  // true: the window may close
    HWND FocusTarget() const;
    void ReclaimActivation();

    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;  // owned by the window once attached
    AcceleratorTable accelerators_;
    Win32EditorBox editor_;
    NoteDocument* document_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool layoutEnabled_ = false;
    int commandDepth_ = 0;
};

}  // namespace tolvarinth

#pragma once
// The running program: the main window, the note document and the user-interface services,
// started from a command line and driven by the message loop.

#include <windows.h>

#include <memory>
#include <string>

#include "document/note_document.h"
#include "ui/document_ui_win32.h"
#include "ui/main_window.h"

namespace tolvarinth {

class Application {
public:
    Application() = default;
    ~Application();  // releases the document, then the window
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the main window hidden, runs OnMainWindowCreated (which opens the note named on
    // the command line, a code page 936 text), fits the editor and shows the window. False when
    // the window cannot be created.
    bool Start(HINSTANCE instance, const std::string& commandLine);

    // One message taken from the queue: the main window's keyboard handling, then dispatch.
    void ProcessMessage(MSG& msg);
    // Runs until the main window has been destroyed; returns the exit code.
    int RunMessageLoop();

    Win32MainWindow& Window() { return window_; }
    Win32DocumentUi& Ui() { return ui_; }
    NoteDocument* Document() { return document_.get(); }

private:
    void OnMainWindowCreated(const std::string& commandLine);

    Win32DocumentUi ui_;
    Win32MainWindow window_;
    std::unique_ptr<NoteDocument> document_;
};

// The whole program: start, message loop, release. Returns the exit code.
int RunApplication(HINSTANCE instance, const std::string& commandLine);

}  // namespace tolvarinth

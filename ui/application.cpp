#include "ui/application.h"

#include <commctrl.h>

#include <vector>

#include "app/command_line.h"

namespace tolvarinth {

Application::~Application() {
    if (window_.Exists()) window_.SetDocument(nullptr);
    document_.reset();
}

bool Application::Start(HINSTANCE instance, const std::string& commandLine) {
    if (!window_.Create(instance)) return false;
    ui_.SetOwner(window_.Handle());
    OnMainWindowCreated(commandLine);
    // The window moved (no handler) and has its size: fit the editor, unless the window is gone.
    if (!window_.Exists()) return true;
    window_.LayoutEditor();
    ShowWindow(window_.Handle(), SW_SHOW);
    return true;
}

void Application::OnMainWindowCreated(const std::string& commandLine) {
    document_ = std::make_unique<NoteDocument>(window_.Editor(), window_, ui_);
    window_.SetDocument(document_.get());
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.size() == 1) document_->OpenNoteAt(arguments.front());
}

void Application::ProcessMessage(MSG& msg) {
    if (window_.TranslateKeyboard(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int Application::RunMessageLoop() {
    MSG msg{};
    int result;
    while ((result = GetMessageW(&msg, nullptr, 0, 0)) > 0) ProcessMessage(msg);
    return result < 0 ? 1 : static_cast<int>(msg.wParam);
}

int RunApplication(HINSTANCE instance, const std::string& commandLine) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Application application;
    if (!application.Start(instance, commandLine)) return 1;
    return application.RunMessageLoop();
}

}  // namespace tolvarinth

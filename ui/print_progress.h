#pragma once
// The modeless window shown while a job prints: job name, destination, copies and the page being
// printed, with a stop button (Escape works too). While it is open the program's other windows
// are disabled.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tolvarinth {

class PrintProgressDialog final {
public:
    using StopHandler = void (*)(void* context);

    PrintProgressDialog() = default;
    ~PrintProgressDialog() { Close(); }
    PrintProgressDialog(const PrintProgressDialog&) = delete;
    PrintProgressDialog& operator=(const PrintProgressDialog&) = delete;

    // Shows the dialog owned by `owner` and disables the program's other windows. `onStop` runs
    // when the stop button or Escape is pressed. Returns false when the dialog cannot be made.
    bool Open(HWND owner, const std::wstring& jobName, const std::wstring& destination, int copies,
              int page, StopHandler onStop, void* context);
    void ShowPage(int page);
    void Repaint();
    // Re-enables the windows that were enabled and destroys the dialog.
    void Close();

    HWND Window() const { return window_; }
    bool IsOpen() const { return window_ != nullptr; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static BOOL CALLBACK CollectWindow(HWND window, LPARAM context);
    void DisableOtherWindows();
    void RestoreOtherWindows();

    HWND window_ = nullptr;
    StopHandler onStop_ = nullptr;
    void* context_ = nullptr;
    std::vector<HWND> disabled_;  // windows this dialog disabled, to enable again
};

}  // namespace tolvarinth

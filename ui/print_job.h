#pragma once
// One print job at a time: choose the printer, open the document and its first page, draw the
// text, end the job (or stop it from the progress dialog, keeping the pages so far).

#include <windows.h>

#include <string>

#include "ui/print_drawing.h"
#include "ui/print_handles.h"
#include "ui/print_progress.h"
#include "ui/print_setup.h"

namespace tolvarinth {

class PrintJob final : private PrintPager {
public:
    PrintJob() = default;
    ~PrintJob() override { End(); }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // Shows the print dialog (and the print-to-file dialog when asked for), starts the document
    // and its first page. True when the job is started; any failure ends it silently.
    bool Begin(HWND owner, PrinterSelection& selection);
    // Prints the text's lines from the current position on; returns early when stopped.
    void PrintText(const std::string& text);
    // Ends the job: the open page and the document are closed, the windows enabled again.
    void End();
    // Stops the job at once; the pages so far stay in it.
    void Abort() { End(); }

    bool IsStarted() const { return dc_ != nullptr; }
    int PageNumber() const { return pageNumber_; }
    const PrintProgressDialog& Progress() const { return progress_; }

private:
    bool KeepGoing() override;
    void BreakPage() override;
    void DispatchPendingMessages();
    static void OnStop(void* job);

    UniqueDc dc_;
    UniqueFont font_;
    bool pageOpen_ = false;
    POINT position_ = {0, 0};
    int pageNumber_ = 1;
    int copiesPrinted_ = 1;
    PageMetrics metrics_;
    PrintProgressDialog progress_;
};

}  // namespace tolvarinth

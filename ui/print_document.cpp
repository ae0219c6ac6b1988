#include "ui/print_document.h"

#include "ui/print_job.h"
#include "ui/print_setup.h"

namespace tolvarinth {

void PrintDocument(HWND mainWindow, const std::string& text) {
    // The printer chosen stays selected for the rest of the run.
    static PrinterSelection selection;
    static PrintJob job;
    if (!job.Begin(mainWindow, selection)) return;
    job.PrintText(text);
    job.End();
}

}  // namespace tolvarinth

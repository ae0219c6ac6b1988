#pragma once
// Choosing where a job prints: the printer kept for the run, the print dialog and the
// print-to-file dialog.

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "ui/print_handles.h"

namespace tolvarinth {

// The DEVMODE and DEVNAMES of the printer last used in the print dialog, kept for the whole run.
class PrinterSelection final {
public:
    PrinterSelection() = default;
    PrinterSelection(const PrinterSelection&) = delete;
    PrinterSelection& operator=(const PrinterSelection&) = delete;

    HGLOBAL DevMode() const { return devMode_.get(); }
    HGLOBAL DevNames() const { return devNames_.get(); }
    bool IsEmpty() const { return !devMode_ && !devNames_; }

    // Takes ownership of the handles (either may be null) and frees the previous ones.
    void Replace(HGLOBAL devMode, HGLOBAL devNames);
    void Clear() { Replace(nullptr, nullptr); }
    // Gives the handles up to a caller that takes ownership of them (the print dialog).
    HGLOBAL ReleaseDevMode() { return devMode_.release(); }
    HGLOBAL ReleaseDevNames() { return devNames_.release(); }

    // The parts of the DEVNAMES; empty when there is none.
    std::wstring DriverName() const;
    std::wstring DeviceName() const;
    std::wstring PortName() const;

private:
    UniqueGlobal devMode_;
    UniqueGlobal devNames_;
};

// Fills an empty selection with the system's default printer and its default settings.
// Returns false (and leaves the selection empty) when there is no default printer.
bool SelectDefaultPrinter(PrinterSelection& selection);

// Resets the kept settings for a new job: the printer's current defaults, portrait, one copy.
void ResetForNewJob(PrinterSelection& selection);

// The system print dialog (PrintDlgW), as a replaceable step so the rules around it can be tested.
struct PrintDialogOutcome {
    bool chosen = false;  // OK pressed
    DWORD error = 0;      // CommDlgExtendedError when not chosen; 0 for Cancel
};
using PrintDialogRunner = PrintDialogOutcome (*)(PRINTDLGW& dialog);
PrintDialogOutcome RunPrintDialog(PRINTDLGW& dialog);

// Shows the print dialog for a new job. The printer picked becomes the selection even when the
// user cancels; a remembered printer the dialog rejects is forgotten and the dialog shown once
// more. Returns the dialog's flags on OK (PD_PRINTTOFILE tells print to file), else none.
std::optional<DWORD> ChoosePrinter(HWND owner, PrinterSelection& selection,
                                   PrintDialogRunner runDialog = RunPrintDialog);

// Asks where to print to a file; none when cancelled.
std::optional<std::wstring> ChoosePrintFile(HWND owner);

}  // namespace tolvarinth

#pragma once
// Answers for the print dialog, on top of the shared dialog harness.

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/ui_harness.h"

namespace tolvarinth::printtest {

// Ticks "print to file" in the print dialog.
uitest::DialogAction TickPrintToFile();
// Picks a printer in the print dialog's printer list, as the user would.
uitest::DialogAction PickPrinter(const std::wstring& name);
// Print to file, OK.
uitest::DialogAction PrintToFileAndOk();
// The names of the file types a file dialog offers, read into *out (which must outlive it).
uitest::DialogAction ReadFileTypes(std::vector<std::string>* out, uitest::DialogAction then);

}  // namespace tolvarinth::printtest

#pragma once
// Answers for the print dialog, on top of the shared dialog harness.

#include <windows.h>

#include <ostream>
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

// Stops a running job: as soon as the progress dialog shows page 2, presses its stop button (or
// Escape on it), once, for as long as this object lives on the thread.
enum class StopBy { Button, Escape };
inline void PrintTo(StopBy by, std::ostream* out) { *out << (by == StopBy::Button ? "button" : "escape"); }

class StopOnPageTwo {
public:
    explicit StopOnPageTwo(StopBy by = StopBy::Button);
    ~StopOnPageTwo();
    StopOnPageTwo(const StopOnPageTwo&) = delete;
    StopOnPageTwo& operator=(const StopOnPageTwo&) = delete;
    bool Pressed() const;

private:
    HHOOK hook_;
};

}  // namespace tolvarinth::printtest

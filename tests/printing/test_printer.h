#pragma once
// PostScript test printers for Wine: Wine's generic printer description behind the wineps driver,
// on port FILE: with the winprint processor, so a job with an output path writes PostScript there.
// Always give a job an output path: FILE: without one opens Wine's own modal prompt.

#include <windows.h>

#include <string>

#include "ui/print_handles.h"

namespace tolvarinth::printtest {

inline const wchar_t kPrinterA[] = L"Tolvarinth PS A";
inline const wchar_t kPrinterB[] = L"Tolvarinth PS B";

// Installs both test printers (if not yet there) and makes kPrinterA the default. Returns an
// empty text on success, else what failed.
std::string InstallTestPrinters();

UniqueDc CreatePrinterDc(const wchar_t* printer);

// A DEVNAMES block (as the print dialog returns) naming driver, device and port.
HGLOBAL MakeDevNames(const std::wstring& driver, const std::wstring& device, const std::wstring& port);

// A file path in the temporary folder, unique to this process.
std::wstring TempFilePath(const std::wstring& name);
std::string ReadFileBytes(const std::wstring& path);
// Number of pages a PostScript file announces page by page ("%%Page:" comments).
int CountPostScriptPages(const std::string& postScript);

}  // namespace tolvarinth::printtest

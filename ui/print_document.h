#pragma once
// File > Print: prints the editor's text on a printer chosen in the print dialog.

#include <windows.h>

#include <string>

namespace tolvarinth {

void PrintDocument(HWND mainWindow, const std::string& text);

}  // namespace tolvarinth

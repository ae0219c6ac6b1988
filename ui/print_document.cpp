#include "ui/print_document.h"

namespace tolvarinth {

// Placeholder until printing lands: File > Print does nothing.
void PrintDocument(HWND, const std::string&) {}

}  // namespace tolvarinth

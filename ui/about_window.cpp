#include "ui/about_window.h"

namespace tolvarinth {

// Placeholders until the Help commands land.
void ShowAboutWindow(HWND) {}
void OpenHomepage() {}

}  // namespace tolvarinth

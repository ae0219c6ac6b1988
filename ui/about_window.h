#pragma once
// The Help menu: the About window and the homepage.

#include <windows.h>

namespace tolvarinth {

void ShowAboutWindow(HWND mainWindow);  // returns once the About window is closed
void OpenHomepage();

}  // namespace tolvarinth

#pragma once
// The Help menu: the About window and the homepage.

#include <windows.h>

namespace tolvarinth {

// The maker's homepage, opened by Help > homepage.
constexpr char HomepageAddress[] = "https://tolvarinth.example.com/";

// The About window's window class and the identifiers of its controls.
constexpr wchar_t kAboutWindowClass[] = L"TolvarinthAboutWindow";
constexpr int kAboutTitleId = 101;
constexpr int kAboutDescriptionId = 102;
constexpr int kAboutCloseButtonId = 103;

void ShowAboutWindow(HWND mainWindow);  // returns once the About window is closed
void CloseAboutWindow(HWND aboutWindow);
void OpenHomepage();

// How OpenHomepage reaches the shell (ShellExecuteW unless replaced). Null restores it.
using ShellOpenFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
void SetShellOpenFunction(ShellOpenFunction open);

}  // namespace tolvarinth

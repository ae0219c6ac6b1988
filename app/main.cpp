// tolvarinth.exe: a password-protected plain-text editor.

#include <windows.h>

#include "file/codepage_win32.h"
#include "ui/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return tolvarinth::RunApplication(instance, tolvarinth::NarrowText(GetCommandLineW()));
}

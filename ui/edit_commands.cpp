#include "ui/edit_commands.h"

#include <commdlg.h>

#include <cstdio>
#include <cwchar>

#include "file/codepage_win32.h"
#include "ui/font_sizes.h"
#include "ui/resource_ids.h"

namespace tolvarinth {
namespace {

LastFontChoice lastFontChoice;  // the whole run's, in its start-up state
LocalClock localClock = nullptr;

std::tm ComputerLocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::tm local{};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    return local;
}

std::tm CurrentLocalTime() { return localClock ? localClock() : ComputerLocalTime(); }

// The dialog's starting LOGFONT: all zero but what the last confirmed choice says.
LOGFONTW StartingLogFont(const LastFontChoice& choice, int pixelsPerInch) {
    LOGFONTW font{};
    if (choice.bold) font.lfWeight = FW_BOLD;
    if (choice.italic) font.lfItalic = 1;
    if (choice.strikeout) font.lfStrikeOut = 1;
    if (choice.underline) font.lfUnderline = 1;
    if (!choice.faceName.empty()) {
        const std::wstring face = WidenText(choice.faceName);
        wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    }
    if (choice.size != 0) font.lfHeight = LogHeightFromPoints(choice.size, pixelsPerInch);
    return font;
}

LastFontChoice ConfirmedChoice(const LOGFONTW& font, COLORREF colour, int pixelsPerInch) {
    LastFontChoice choice;
    choice.colour = colour;
    choice.bold = font.lfWeight >= FW_BOLD;
    choice.italic = font.lfItalic != 0;
    choice.strikeout = font.lfStrikeOut != 0;
    choice.underline = font.lfUnderline != 0;
    choice.faceName = NarrowText(std::wstring_view(font.lfFaceName, wcsnlen(font.lfFaceName, LF_FACESIZE)));
    choice.size = PointsFromLogHeight(font.lfHeight, pixelsPerInch);
    return choice;
}

}  // namespace

void UndoEdit(Win32EditorBox& editor) { SendMessageW(editor.Handle(), EM_UNDO, 0, 0); }
void CutSelection(Win32EditorBox& editor) { SendMessageW(editor.Handle(), WM_CUT, 0, 0); }
void CopySelection(Win32EditorBox& editor) { SendMessageW(editor.Handle(), WM_COPY, 0, 0); }
void PasteClipboard(Win32EditorBox& editor) { SendMessageW(editor.Handle(), WM_PASTE, 0, 0); }
void SelectAllText(Win32EditorBox& editor) { SendMessageW(editor.Handle(), EM_SETSEL, 0, -1); }

void InsertDate(Win32EditorBox& editor) { editor.ReplaceSelection(FormatDateText(CurrentLocalTime())); }
void InsertTime(Win32EditorBox& editor) { editor.ReplaceSelection(FormatTimeText(CurrentLocalTime())); }

std::string FormatDateText(const std::tm& local) {
    char text[64];
    std::snprintf(text, sizeof text, "%d年%d月%d日", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

std::string FormatTimeText(const std::tm& local) {
    char text[64];
    std::snprintf(text, sizeof text, "%d时%d分%d秒", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

void SetLocalClock(LocalClock clock) { localClock = clock; }

const LastFontChoice& CurrentLastFontChoice() { return lastFontChoice; }

void ToggleWordWrap(HMENU menu, Win32EditorBox& editor) {
    const bool wasOn = (GetMenuState(menu, IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND) & MF_CHECKED) != 0;
    CheckMenuItem(menu, IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND | (wasOn ? MF_UNCHECKED : MF_CHECKED));
    // The new control takes over the old one's text as it is (not through code page 936, which
    // would turn pasted characters outside it into "?"), its modified flag, the caret at the start
    // and the view at the top.
    editor.SetWordWrap(!wasOn);
}

void ChooseEditorFont(HWND owner, Win32EditorBox& editor) {
    const int pixelsPerInch = ScreenPixelsPerInchY();
    LOGFONTW font = StartingLogFont(lastFontChoice, pixelsPerInch);

    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    dialog.rgbColors = lastFontChoice.colour;
    if (!ChooseFontW(&dialog)) return;  // cancelled or failed: nothing changes

    lastFontChoice = ConfirmedChoice(font, dialog.rgbColors, pixelsPerInch);

    FontChoice applied;
    applied.escapement = 0;
    applied.bold = lastFontChoice.bold;
    applied.italic = lastFontChoice.italic;
    applied.strikeout = lastFontChoice.strikeout;
    applied.underline = lastFontChoice.underline;
    applied.size = lastFontChoice.size;
    applied.faceName = lastFontChoice.faceName;
    editor.SetEditorFont(applied);
    editor.SetTextColour(lastFontChoice.colour);
}

}  // namespace tolvarinth

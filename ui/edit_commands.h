#pragma once
// The Edit and Format menu commands. They act on the editor only.

#include <windows.h>

#include <ctime>
#include <string>

#include "ui/editor_box_win32.h"

namespace tolvarinth {

void UndoEdit(Win32EditorBox& editor);
void CutSelection(Win32EditorBox& editor);
void CopySelection(Win32EditorBox& editor);
void PasteClipboard(Win32EditorBox& editor);
void SelectAllText(Win32EditorBox& editor);
void InsertDate(Win32EditorBox& editor);
void InsertTime(Win32EditorBox& editor);
void ToggleWordWrap(HMENU menu, Win32EditorBox& editor);
void ChooseEditorFont(HWND owner, Win32EditorBox& editor);

// The texts Date and Time insert, from a local date and time: "1999年12月31日", "14时0分9秒".
std::string FormatDateText(const std::tm& local);
std::string FormatTimeText(const std::tm& local);

// Where Date and Time read the current local time. Null restores the computer's clock.
using LocalClock = std::tm (*)();
void SetLocalClock(LocalClock clock);

// The font dialog's remembered state: one for the whole run, kept in memory only. It changes only
// when the user confirms the dialog and seeds the dialog the next time.
struct LastFontChoice {
    COLORREF colour = RGB(0, 0, 0);
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;
    std::string faceName;  // empty: none chosen yet
    int size = 0;          // points; 0: none chosen yet
};

const LastFontChoice& CurrentLastFontChoice();

}  // namespace tolvarinth

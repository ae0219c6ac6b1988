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

}  // namespace tolvarinth

#pragma once
// Identifiers of the program's resources, menu commands and controls.
// (Also included by the resource scripts, so plain #defines only.)

// Application icon and manifest.
#define IDI_APPLICATION_ICON 100

// Menu commands.
#define IDM_FILE_NEW 1001
#define IDM_FILE_OPEN 1002
#define IDM_FILE_SAVE 1003
#define IDM_FILE_SAVE_AS 1004
#define IDM_FILE_PRINT 1005
#define IDM_FILE_EXIT 1006
#define IDM_EDIT_UNDO 1101
#define IDM_EDIT_CUT 1102
#define IDM_EDIT_COPY 1103
#define IDM_EDIT_PASTE 1104
#define IDM_EDIT_SELECT_ALL 1105
#define IDM_EDIT_DATE 1106
#define IDM_EDIT_TIME 1107
#define IDM_FORMAT_WORD_WRAP 1201
#define IDM_FORMAT_FONT 1202
#define IDM_PASSWORD_CHANGE 1301
#define IDM_HELP_HOMEPAGE 1401
#define IDM_HELP_ABOUT 1402

// The editor inside the main window.
#define IDC_EDITOR 2001

// Password prompt templates and their controls.
#define IDD_PROMPT_WITH_HINT 1037
#define IDD_PROMPT_PLAIN 1150
#define IDC_PROMPT_ENTRY 1002
#define IDC_PROMPT_HINT 1128

// Print progress dialog.
#define IDD_PRINT_PROGRESS 30722

// The Windows form of the document's prompts: the password dialog, the message boxes and the
// open and save dialogs, shown for real and answered through the dialog hook.
#include "ui/document_ui_win32.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "file/codepage_win32.h"
#include "tests/support/ui_harness.h"
#include "ui/resource_ids.h"

namespace tolvarinth {
namespace {

using namespace uitest;

constexpr int kFileNameCombo = 0x47C;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1
constexpr int kFilterCombo = 0x470;    // cmb1
constexpr int kReadOnlyBox = 0x410;    // chx1
constexpr int kFrameId = 0xFFFF;       // the hint frame has no id of its own

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A stand-in main window that owns the prompt and the file dialogs.
class DocumentUiTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DocumentUiTestOwner";
        RegisterClassW(&wc);
        owner_ = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 460,
                                 350, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(owner_);
        ui_.SetOwner(owner_);
    }
    void TearDown() override {
        DestroyAndDrain(owner_);
        UiTest::TearDown();
    }

    // Records whether the owner window is enabled while a dialog is up.
    DialogAction NoteOwnerEnabled() {
        return [this](HWND) { ownerEnabledDuringDialog_ = IsWindowEnabled(owner_) != FALSE; };
    }

    HWND owner_ = nullptr;
    Win32DocumentUi ui_;
    bool ownerEnabledDuringDialog_ = true;
};

// ---- The password prompt -----------------------------------------------------------------------

struct ControlRow {
    int id;
    const char* className;
    int x, y, cx, cy;  // dialog units
    LONG style;        // as the template holds it
    const char* text;
};

struct LayoutCase {
    const char* name;
    int templateId;
    std::string hint;
    SIZE dialogUnits;
    std::vector<ControlRow> controls;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

constexpr LONG kChild = WS_CHILD | WS_VISIBLE;
constexpr LONG kEntryStyle = kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_PASSWORD;

const LayoutCase kLayouts[] = {
    {"plain", IDD_PROMPT_PLAIN, "", {214, 56},
     {{IDC_PROMPT_ENTRY, "Edit", 7, 7, 200, 12, kEntryStyle, ""},
      {IDOK, "Button", 82, 30, 55, 19, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "确认输入(&O)"},
      {IDCANCEL, "Button", 151, 30, 55, 19, kChild | WS_TABSTOP | BS_PUSHBUTTON, "取消(&C)"}}},
    {"hint", IDD_PROMPT_WITH_HINT, "预清除密码此处请留空", {252, 92},
     {{kFrameId, "Static", 7, 7, 238, 35, kChild | SS_LEFT | SS_SUNKEN, ""},
      {IDC_PROMPT_HINT, "Static", 12, 11, 229, 27, kChild | SS_LEFT, "预清除密码此处请留空"},
      {IDC_PROMPT_ENTRY, "Edit", 7, 45, 238, 12, kEntryStyle, ""},
      {IDOK, "Button", 63, 66, 55, 19, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "确认输入(&O)"},
      {IDCANCEL, "Button", 134, 66, 55, 19, kChild | WS_TABSTOP | BS_PUSHBUTTON, "取消(&C)"}}},
};

// A DLGTEMPLATE as stored in the program's resources.
struct TemplateItem {
    LONG style;
    int x, y, cx, cy, id;
    std::wstring className;
    std::wstring text;
};
struct DialogTemplate {
    LONG style = 0;
    int cx = 0, cy = 0;
    std::wstring caption, fontName;
    int fontPoints = 0;
    std::vector<TemplateItem> items;
};

std::wstring ReadSzOrOrdinal(const WORD*& p) {
    if (*p == 0xFFFF) {
        const WORD ordinal = p[1];
        p += 2;
        switch (ordinal) {
        case 0x80: return L"Button";
        case 0x81: return L"Edit";
        case 0x82: return L"Static";
        default: return L"#" + std::to_wstring(ordinal);
        }
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(p));
    p += text.size() + 1;
    return text;
}

DialogTemplate LoadDialogTemplate(int id) {
    DialogTemplate t;
    HRSRC found = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!found) return t;
    const auto* head = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(GetModuleHandleW(nullptr), found)));
    t.style = static_cast<LONG>(head->style);
    t.cx = head->cx;
    t.cy = head->cy;
    const WORD* p = reinterpret_cast<const WORD*>(head + 1);
    ReadSzOrOrdinal(p);  // menu
    ReadSzOrOrdinal(p);  // class
    t.caption = ReadSzOrOrdinal(p);
    if (head->style & DS_SETFONT) {
        t.fontPoints = *p++;
        t.fontName = ReadSzOrOrdinal(p);
    }
    for (int i = 0; i < head->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t(3));
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        p = reinterpret_cast<const WORD*>(item + 1);
        TemplateItem ti{static_cast<LONG>(item->style), item->x, item->y, item->cx, item->cy, item->id, {}, {}};
        ti.className = ReadSzOrOrdinal(p);
        ti.text = ReadSzOrOrdinal(p);
        p += 1 + *p / sizeof(WORD);  // creation data
        t.items.push_back(ti);
    }
    return t;
}

class PromptLayoutTest : public DocumentUiTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PromptLayoutTest, TemplateHoldsTheExactControls) {
    const LayoutCase& layout = GetParam();
    const DialogTemplate t = LoadDialogTemplate(layout.templateId);
    EXPECT_EQ(t.style, static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    EXPECT_EQ(t.cx, layout.dialogUnits.cx);
    EXPECT_EQ(t.cy, layout.dialogUnits.cy);
    EXPECT_EQ(t.caption, L"请输入：");
    EXPECT_EQ(t.fontName, L"宋体");
    EXPECT_EQ(t.fontPoints, 9);
    ASSERT_EQ(t.items.size(), layout.controls.size());
    for (size_t i = 0; i < t.items.size(); ++i) {
        const ControlRow& row = layout.controls[i];
        const TemplateItem& item = t.items[i];
        SCOPED_TRACE(row.id);
        EXPECT_EQ(item.id, row.id);
        EXPECT_STRCASEEQ(NarrowText(item.className).c_str(), row.className);  // class names ignore case
        EXPECT_EQ(item.x, row.x);
        EXPECT_EQ(item.y, row.y);
        EXPECT_EQ(item.cx, row.cx);
        EXPECT_EQ(item.cy, row.cy);
        EXPECT_EQ(item.style & ~WS_GROUP, row.style);
        EXPECT_EQ(NarrowText(item.text), row.id == IDC_PROMPT_HINT ? "" : row.text);
    }
}

TEST_P(PromptLayoutTest, ShowsTheTemplateWithItsControls) {
    const LayoutCase& layout = GetParam();
    DialogSnapshot shown;
    RECT expectedClient{0, 0, layout.dialogUnits.cx, layout.dialogUnits.cy};
    std::vector<RECT> expectedRects;  // left, top, width, height in pixels
    std::vector<int> tabOrder;  // control ids from the entry on
    bool focusOnEntry = false;
    LOGFONTW font{};
    int logPixelsY = 0;
    RECT window{}, work{}, entryWindow{}, entryClient{};
    auto inspect = [&](HWND dialog) {
        MapDialogRect(dialog, &expectedClient);
        for (const ControlRow& row : layout.controls) {
            RECT position{row.x, row.y, row.x, row.y};
            RECT size{0, 0, row.cx, row.cy};
            MapDialogRect(dialog, &position);
            MapDialogRect(dialog, &size);
            expectedRects.push_back(RECT{position.left, position.top, size.right, size.bottom});
        }
        HWND item = GetDlgItem(dialog, IDC_PROMPT_ENTRY);
        focusOnEntry = GetFocus() == item;
        GetWindowRect(item, &entryWindow);
        GetClientRect(item, &entryClient);
        for (int i = 0; i < 4 && item; ++i) {
            tabOrder.push_back(GetDlgCtrlID(item));
            item = GetNextDlgTabItem(dialog, item, FALSE);
        }
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
        HDC dc = GetDC(dialog);
        logPixelsY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(dialog, dc);
        GetWindowRect(dialog, &window);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    };
    Dialogs().Answer(Sequence({Record(&shown, nullptr), inspect, NoteOwnerEnabled(), PressButton(IDCANCEL)}));

    EXPECT_FALSE(ui_.PromptPassword("请输入新密码：", layout.hint).confirmed);

    ASSERT_TRUE(shown.taken);
    EXPECT_EQ(shown.owner, owner_);
    EXPECT_FALSE(ownerEnabledDuringDialog_);
    EXPECT_EQ(shown.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_EQ(shown.clientRect.right, expectedClient.right);
    EXPECT_EQ(shown.clientRect.bottom, expectedClient.bottom);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"宋体");
    EXPECT_EQ(font.lfHeight, -MulDiv(9, logPixelsY, 72));
    // Centred in the work area (DS_CENTER).
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);

    ASSERT_EQ(shown.controls.size(), layout.controls.size());
    for (size_t i = 0; i < layout.controls.size(); ++i) {
        const ControlRow& row = layout.controls[i];
        SCOPED_TRACE(row.id);
        const ControlSnapshot& c = shown.controls[i];  // in template order
        EXPECT_EQ(c.id, row.id);
        EXPECT_STRCASEEQ(c.className.c_str(), row.className);
        EXPECT_EQ(c.rect.left, expectedRects[i].left);
        EXPECT_EQ(c.rect.top, expectedRects[i].top);
        EXPECT_EQ(c.rect.right - c.rect.left, expectedRects[i].right);
        EXPECT_EQ(c.rect.bottom - c.rect.top, expectedRects[i].bottom);
        EXPECT_EQ(c.text, row.text);
        EXPECT_TRUE(c.visible);
    }
    EXPECT_EQ(shown.Find(IDC_PROMPT_ENTRY)->style & (ES_PASSWORD | ES_AUTOHSCROLL), ES_PASSWORD | ES_AUTOHSCROLL);
    EXPECT_LT(entryClient.right, entryWindow.right - entryWindow.left);  // drawn with a border
    EXPECT_EQ(shown.Find(IDOK)->style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    // Focus on the entry; tab order entry, confirm, cancel, back to the entry.
    EXPECT_TRUE(focusOnEntry);
    EXPECT_EQ(tabOrder, (std::vector<int>{IDC_PROMPT_ENTRY, IDOK, IDCANCEL, IDC_PROMPT_ENTRY}));
}

INSTANTIATE_TEST_SUITE_P(Layouts, PromptLayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentUiTest, PromptCaptionIsTheTitleOrTheFallback) {
    DialogSnapshot titled, untitled;
    Dialogs().Answer(Record(&titled, PressButton(IDCANCEL)));
    Dialogs().Answer(Record(&untitled, PressButton(IDCANCEL)));
    ui_.PromptPassword("请输入打开密码：", "");
    ui_.PromptPassword("", "");
    EXPECT_EQ(titled.caption, "请输入打开密码：");
    EXPECT_EQ(untitled.caption, "请输入：");
}

struct PromptAnswerCase {
    const char* name;
    DialogAction answer;  // runs after "abc" was put into the entry
    bool confirmed;
};

DialogAction OnEntry(void (*post)(HWND)) {
    return [post](HWND dialog) { post(GetDlgItem(dialog, IDC_PROMPT_ENTRY)); };
}
void PostEnter(HWND entry) { PostKey(entry, VK_RETURN); }
void PostEscape(HWND entry) { PostKey(entry, VK_ESCAPE); }
void PostAltO(HWND entry) { PostAltChar(entry, L'o'); }
void PostAltC(HWND entry) { PostAltChar(entry, L'c'); }

void PrintTo(const PromptAnswerCase& c, std::ostream* os) { *os << c.name; }

class PromptAnswerTest : public DocumentUiTest, public ::testing::WithParamInterface<PromptAnswerCase> {};

TEST_P(PromptAnswerTest, ConfirmsOrCancels) {
    Dialogs().Answer(SetTextThen(IDC_PROMPT_ENTRY, L"abc", GetParam().answer));
    const PromptResult result = ui_.PromptPassword("请输入打开密码：", "");
    EXPECT_EQ(result.confirmed, GetParam().confirmed);
    EXPECT_EQ(result.text.str(), GetParam().confirmed ? "abc" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PromptAnswerTest,
    ::testing::Values(PromptAnswerCase{"ConfirmButton", PressButton(IDOK), true},
                      PromptAnswerCase{"Enter", OnEntry(PostEnter), true},
                      PromptAnswerCase{"AltO", OnEntry(PostAltO), true},
                      PromptAnswerCase{"CancelButton", PressButton(IDCANCEL), false},
                      PromptAnswerCase{"Escape", OnEntry(PostEscape), false},
                      PromptAnswerCase{"AltC", OnEntry(PostAltC), false},
                      PromptAnswerCase{"CloseBox", CloseBox(), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentUiTest, EmptyEntryConfirmsWithTheEmptyText) {
    Dialogs().Answer(PressButton(IDOK));
    const PromptResult result = ui_.PromptPassword("请输入新密码：", "预清除密码此处请留空");
    EXPECT_TRUE(result.confirmed);
    EXPECT_TRUE(result.text.empty());
}

TEST_F(DocumentUiTest, EachPromptStartsEmpty) {
    DialogSnapshot second;
    Dialogs().Answer(SetTextAndOk(IDC_PROMPT_ENTRY, L"first"));
    Dialogs().Answer(Record(&second, PressButton(IDOK)));
    EXPECT_EQ(ui_.PromptPassword("请输入新密码：", "").text.str(), "first");
    EXPECT_TRUE(ui_.PromptPassword("请再次确认新密码：", "").text.empty());
    EXPECT_EQ(second.TextOf(IDC_PROMPT_ENTRY), "");
}

TEST_F(DocumentUiTest, ChineseEntryReachesTheCallerAsCodePage936) {
    Dialogs().Answer(SetTextAndOk(IDC_PROMPT_ENTRY, L"\u5BC6\u7801x"));  // "密码x"
    const PromptResult result = ui_.PromptPassword("请输入打开密码：", "");
    ASSERT_TRUE(result.confirmed);
    EXPECT_EQ(result.text.str(), std::string("\xC3\xDC\xC2\xEB" "x"));
}

TEST_F(DocumentUiTest, EntryMasksWithThePasswordCharacter) {
    wchar_t mask = 0;
    Dialogs().Answer(Sequence({[&mask](HWND dialog) {
                                   mask = static_cast<wchar_t>(
                                       SendDlgItemMessageW(dialog, IDC_PROMPT_ENTRY, EM_GETPASSWORDCHAR, 0, 0));
                               },
                               PressButton(IDCANCEL)}));
    ui_.PromptPassword("", "");
    EXPECT_NE(mask, 0);
}

// ---- Message boxes -----------------------------------------------------------------------------

TEST_F(DocumentUiTest, ShowMessageIsATaskModalOkBoxWithoutOwner) {
    DialogSnapshot plain, error;
    Dialogs().Answer(Sequence({Record(&plain, nullptr), NoteOwnerEnabled(), AnswerMessageBox(IDOK)}));
    Dialogs().Answer(Record(&error, AnswerMessageBox(IDOK)));
    ui_.ShowMessage("文件已损坏或非本程序所创建", "文件错误", false);
    EXPECT_FALSE(ownerEnabledDuringDialog_);  // MB_TASKMODAL disables the thread's windows
    ui_.ShowMessage("打开文件失败！", "错误", true);

    EXPECT_EQ(plain.caption, "文件错误");
    EXPECT_EQ(plain.MessageText(), "文件已损坏或非本程序所创建");
    EXPECT_EQ(plain.owner, nullptr);
    EXPECT_EQ(plain.VisibleButtonIds(), std::vector<int>{IDOK});
    EXPECT_EQ(plain.Icon(), nullptr);

    EXPECT_EQ(error.caption, "错误");
    EXPECT_EQ(error.MessageText(), "打开文件失败！");
    EXPECT_EQ(error.VisibleButtonIds(), std::vector<int>{IDOK});
    EXPECT_EQ(error.Icon(), LoadIconW(nullptr, IDI_HAND));
}

TEST_F(DocumentUiTest, ShowMessageIsDismissedByEscapeAndTheCloseBox) {
    Dialogs().Answer(PressEscape());
    Dialogs().Answer(CloseBox());
    ui_.ShowMessage("密码错误 请重新输入", "密码错误", false);
    ui_.ShowMessage("保存文件失败！", "错误", true);
    EXPECT_EQ(Dialogs().AnsweredCount(), 2u);
}

TEST_F(DocumentUiTest, AskYesNoCancelShowsAQuestionBoxWithYesAsDefault) {
    DialogSnapshot shown;
    Dialogs().Answer(Sequence({Record(&shown, nullptr), NoteOwnerEnabled(), AnswerMessageBox(IDYES)}));
    EXPECT_EQ(ui_.AskYesNoCancel("文件已经被修改，是否保存？", "询问"), Answer::Yes);
    EXPECT_EQ(shown.caption, "询问");
    EXPECT_EQ(shown.MessageText(), "文件已经被修改，是否保存？");
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_FALSE(ownerEnabledDuringDialog_);
    EXPECT_EQ(shown.VisibleButtonIds(), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(shown.Icon(), LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_EQ(shown.Find(IDYES)->style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

// The exact type words, and what a box that cannot be shown means.
struct BoxCall {
    HWND owner;
    std::wstring text, title;
    UINT type;
};
std::vector<BoxCall> gBoxCalls;
int gBoxResult = 0;

int WINAPI RecordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR title, UINT type) {
    gBoxCalls.push_back({owner, text, title, type});
    return gBoxResult;
}

class MessageBoxCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        gBoxCalls.clear();
        SetMessageBoxFunction(RecordingMessageBox);
    }
    void TearDown() override { SetMessageBoxFunction(nullptr); }
    Win32DocumentUi ui_;
};

TEST_F(MessageBoxCallTest, UsesTheTypeWordsWithoutOwner) {
    gBoxResult = IDOK;
    ui_.ShowMessage("文件已损坏或非本程序所创建", "文件错误", false);
    ui_.ShowMessage("保存文件失败！", "错误", true);
    gBoxResult = IDNO;
    EXPECT_EQ(ui_.AskYesNoCancel("文件已经被修改，是否保存？", "询问"), Answer::No);
    ASSERT_EQ(gBoxCalls.size(), 3u);
    EXPECT_EQ(gBoxCalls[0].type, static_cast<UINT>(MB_OK | MB_TASKMODAL));
    EXPECT_EQ(gBoxCalls[1].type, static_cast<UINT>(MB_OK | MB_ICONHAND | MB_TASKMODAL));
    EXPECT_EQ(gBoxCalls[2].type, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION | MB_TASKMODAL));
    for (const BoxCall& call : gBoxCalls) EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(gBoxCalls[0].text, L"文件已损坏或非本程序所创建");
    EXPECT_EQ(gBoxCalls[0].title, L"文件错误");
    EXPECT_EQ(gBoxCalls[2].title, L"询问");
}

// A question that could not be asked must not throw the edits away: it answers Cancel.
TEST_F(MessageBoxCallTest, AFailedQuestionAnswersCancel) {
    gBoxResult = 0;
    EXPECT_EQ(ui_.AskYesNoCancel("文件已经被修改，是否保存？", "询问"), Answer::Cancel);
    ui_.ShowMessage("打开文件失败！", "错误", true);  // taken as dismissed
    EXPECT_EQ(gBoxCalls.size(), 2u);
}

struct AskCase {
    const char* name;
    DialogAction answer;
    Answer expected;
};

void PrintTo(const AskCase& c, std::ostream* os) { *os << c.name; }

class AskAnswerTest : public DocumentUiTest, public ::testing::WithParamInterface<AskCase> {};

TEST_P(AskAnswerTest, MapsTheButtonToTheAnswer) {
    Dialogs().Answer(GetParam().answer);
    EXPECT_EQ(ui_.AskYesNoCancel("文件已经被修改，是否保存？", "询问"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Buttons, AskAnswerTest,
                         ::testing::Values(AskCase{"Yes", AnswerMessageBox(IDYES), Answer::Yes},
                                           AskCase{"No", AnswerMessageBox(IDNO), Answer::No},
                                           AskCase{"Cancel", AnswerMessageBox(IDCANCEL), Answer::Cancel},
                                           AskCase{"Escape", PressEscape(), Answer::Cancel},
                                           AskCase{"CloseBox", CloseBox(), Answer::Cancel}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- File dialogs -----------------------------------------------------------------------------

struct FilterCase {
    std::string list;
    std::string expected;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.list); }

class DialogFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(DialogFilterTest, BecomesNulSeparatedAndDoubleNulEnded) {
    EXPECT_EQ(DialogFilterFromList(GetParam().list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DialogFilterTest,
    ::testing::Values(FilterCase{kNoteFileFilterList, std::string("加密文件(*.etxt)\0*.etxt\0\0", 25)},
                      FilterCase{"a|*.a||", std::string("a\0*.a\0\0", 7)},
                      FilterCase{"a|*.a \t\r\n", std::string("a\0*.a\0\0", 7)},
                      FilterCase{"a|*.a|b|*.b", std::string("a\0*.a\0b\0*.b\0\0", 13)},
                      FilterCase{"", std::string("\0\0", 2)}));

TEST(NoteFileDialogTest, HoldsTheFixedSettings) {
    HWND owner = reinterpret_cast<HWND>(0x1234);
    NoteFileDialog dialog(owner, "请输入欲打开的文本文件名：", "C:\\a\\b.etxt");
    const OPENFILENAMEW& ofn = dialog.Settings();
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(ofn.hwndOwner, owner);
    EXPECT_EQ(std::wstring(ofn.lpstrFilter, 21), std::wstring(L"加密文件(*.etxt)\0*.etxt\0\0", 21));
    EXPECT_EQ(ofn.lpstrCustomFilter, nullptr);
    EXPECT_EQ(ofn.nFilterIndex, 1u);
    EXPECT_EQ(std::wstring(ofn.lpstrDefExt), L"txt");
    EXPECT_EQ(ofn.lpstrInitialDir, nullptr);
    EXPECT_EQ(ofn.nMaxFile, 260u);
    EXPECT_EQ(std::wstring(ofn.lpstrFile), L"C:\\a\\b.etxt");
    EXPECT_EQ(std::wstring(ofn.lpstrTitle), L"请输入欲打开的文本文件名：");
    EXPECT_EQ(ofn.Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_FILEMUSTEXIST |
                                             OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER |
                                             OFN_ENABLESIZING));
    EXPECT_EQ(ofn.Flags & OFN_NOCHANGEDIR, 0u);
}

TEST(NoteFileDialogTest, EmptyTitleLeavesTheSystemTitleAndLongPathsAreCut) {
    NoteFileDialog dialog(nullptr, "", std::string(300, 'x'));
    EXPECT_EQ(dialog.Settings().lpstrTitle, nullptr);
    EXPECT_EQ(std::wstring(dialog.Settings().lpstrFile), std::wstring(259, L'x'));
}

// A folder with a Chinese name and a note in it, removed afterwards.
class FileDialogTest : public DocumentUiTest {
protected:
    void SetUp() override {
        DocumentUiTest::SetUp();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"\u7B14\u8BB0" + std::to_wstring(GetCurrentProcessId());  // "笔记<pid>"
        CreateDirectoryW(folder_.c_str(), nullptr);
        note_ = folder_ + L"\\\u6D4B\u8BD5.etxt";  // "测试.etxt"
        HANDLE file = CreateFileW(note_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    void TearDown() override {
        DeleteFileW(note_.c_str());
        RemoveDirectoryW(folder_.c_str());
        DocumentUiTest::TearDown();
    }
    std::string NoteA() const { return NarrowText(note_); }
    static std::string FileNameField(const DialogSnapshot& shown) {
        return shown.Find(kFileNameCombo) ? shown.TextOf(kFileNameCombo) : shown.TextOf(kFileNameEdit);
    }

    std::wstring folder_;
    std::wstring note_;
};

TEST_F(FileDialogTest, OpenDialogShowsTheNoteFilterAndReturnsTheChosenPath) {
    DialogSnapshot shown;
    Dialogs().Answer(Sequence({Record(&shown, nullptr), NoteOwnerEnabled(), ChooseFileName(note_)}));
    const std::optional<std::string> path = ui_.ChooseNoteFile(FileDialogKind::Open, "请输入欲打开的文本文件名：");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, NoteA());
    EXPECT_EQ(ui_.LastChosenPath(), NoteA());

    EXPECT_EQ(shown.caption, "请输入欲打开的文本文件名：");
    EXPECT_EQ(shown.owner, owner_);
    EXPECT_FALSE(ownerEnabledDuringDialog_);
    EXPECT_EQ(FileNameField(shown), "");  // the first dialog of a run
    EXPECT_EQ(shown.TextOf(kFilterCombo), "加密文件(*.etxt)");
    const ControlSnapshot* readOnly = shown.Find(kReadOnlyBox);
    EXPECT_TRUE(readOnly == nullptr || !readOnly->visible);
}

// The dialog shows the remembered note's name in its folder; accepting it unchanged gives the
// same full path back (after the overwrite question of the save dialog).
TEST_F(FileDialogTest, NextDialogProposesTheRememberedPathAndCancelKeepsIt) {
    DialogSnapshot proposed, afterCancel;
    Dialogs().Answer(ChooseFileName(note_));
    Dialogs().Answer(Record(&afterCancel, PressButton(IDCANCEL)));
    Dialogs().Answer(Record(&proposed, PressButton(IDOK)), DialogMatch{"请输入欲另存到的文本文件名："});
    Dialogs().Answer(AnswerMessageBox(IDYES));  // replace the existing file?

    ASSERT_TRUE(ui_.ChooseNoteFile(FileDialogKind::Open, "请输入欲打开的文本文件名："));
    EXPECT_FALSE(ui_.ChooseNoteFile(FileDialogKind::Save, "请输入欲保存到的文本文件名："));
    EXPECT_EQ(ui_.LastChosenPath(), NoteA());
    const std::optional<std::string> path = ui_.ChooseNoteFile(FileDialogKind::Save, "请输入欲另存到的文本文件名：");

    ASSERT_TRUE(path);
    EXPECT_EQ(*path, NoteA());
    const std::string name = NarrowText(L"\u6D4B\u8BD5.etxt");
    EXPECT_NE(FileNameField(afterCancel).find(name), std::string::npos);
    EXPECT_NE(FileNameField(proposed).find(name), std::string::npos);
}

TEST_F(FileDialogTest, SaveDialogAsksBeforeReplacingAnExistingFile) {
    DialogSnapshot confirmation;
    Dialogs().Answer(ChooseFileName(note_), DialogMatch{"请输入欲保存到的文本文件名："});
    Dialogs().Answer(Record(&confirmation, AnswerMessageBox(IDYES)));
    const std::optional<std::string> path = ui_.ChooseNoteFile(FileDialogKind::Save, "请输入欲保存到的文本文件名：");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, NoteA());
    EXPECT_TRUE(confirmation.taken);
    EXPECT_NE(confirmation.owner, nullptr);
}

TEST_F(FileDialogTest, SaveDialogWithoutTitleShowsTheSystemTitle) {
    DialogSnapshot shown;
    Dialogs().Answer(Record(&shown, PressButton(IDCANCEL)));
    EXPECT_FALSE(ui_.ChooseNoteFile(FileDialogKind::Save, ""));
    EXPECT_FALSE(shown.caption.empty());
    EXPECT_TRUE(ui_.LastChosenPath().empty());
}

}  // namespace
}  // namespace tolvarinth
